#include "sim/EventWriter.h"

void EventWriter::write(const nlohmann::ordered_json& event) {
    out_ << event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    out_.flush();
}
