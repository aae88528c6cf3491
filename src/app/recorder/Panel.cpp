#include "app/recorder/Panel.h"

void Panel::choose_mode(StampMode mode) {
    polling_ = true;
    clock_.stopped_colour = false;
    mode_ = mode;
}

bool Panel::show_second(const DateTime& now) {
    if (clock_.second && clock_.second->seconds_of_day() == now.seconds_of_day()) {
        return false;
    }
    clock_.second = now;
    clock_.day = now;
    return true;
}

void Panel::stop_clock() {
    clock_.second.reset();
    clock_.stopped_colour = true;
}

void Panel::clear_clock() {
    clock_.day.reset();
    stop_clock();
}

bool Panel::restore_window() {
    const bool was_minimised = minimised_;
    minimised_ = false;
    return was_minimised;
}
