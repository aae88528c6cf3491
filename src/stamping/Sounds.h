#pragma once

#include <string_view>

// Plays the recorder's two sounds: "chimes" for an accepted stamp and "chord" for an unregistered card.
// play returns at once; a missing sound file or sound device plays nothing.
class Sounds {
public:
    virtual ~Sounds() = default;
    virtual void play(std::string_view name) = 0;
};
