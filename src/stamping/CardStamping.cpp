#include "stamping/CardStamping.h"

#include "core/TimeText.h"
#include "stamping/Sounds.h"

std::int16_t read_card(CardReader& reader, std::string& idm) {
    CardReader::Buffer buffer{};
    const std::int16_t result = reader.get_smart_card_uid(buffer);
    idm.clear();
    for (std::size_t i = 0; i < CardReader::buffer_size; ++i) {
        if (buffer[i] != '\0') {
            idm += buffer[i];
        }
    }
    return result;
}

Result<std::string> stamp_time(std::string_view clock_text) {
    const auto seconds = timetext::parse_time_of_day(clock_text);
    if (!seconds) {
        return ErrorNumber::TypeMismatch;
    }
    return timetext::hm(*seconds);
}

void play_chimes(Sounds& sounds) {
    sounds.play("chimes");
}

void play_chord(Sounds& sounds) {
    sounds.play("chord");
}
