#pragma once

#include "core/Result.h"
#include "stamping/CardReader.h"

#include <cstdint>
#include <string>
#include <string_view>

class Sounds;

// One call of the reader component: its result (0 when a card was read), and the IDm text with every NUL
// removed. A component that cannot be loaded throws as the reader does.
[[nodiscard]] std::int16_t read_card(CardReader& reader, std::string& idm);

// The stamp time of a read: the displayed clock "h:mm:ss" reduced to "h:mm"; TypeMismatch for a clock
// text that is not a time.
[[nodiscard]] Result<std::string> stamp_time(std::string_view clock_text);

// The sound of an accepted stamp and of an unregistered card; both return at once.
void play_chimes(Sounds& sounds);
void play_chord(Sounds& sounds);
