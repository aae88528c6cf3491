#pragma once

#include "transfer/ServerSetting.h"

#include <optional>
#include <string>

// Where the recorder sends and fetches files: the head office's server of the options, or none
// (stand-alone). lbl_type shows it.
class Connection {
public:
    static constexpr const char* standalone = "StandAlone";

    explicit Connection(std::optional<ServerAddress> server) : server_(std::move(server)) {}

    [[nodiscard]] bool connected() const { return server_.has_value(); }
    // What lbl_type shows: the setting as written.
    [[nodiscard]] std::string label_text() const { return server_ ? server_->setting : std::string(standalone); }

private:
    std::optional<ServerAddress> server_;
};
