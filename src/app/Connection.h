#pragma once

#include <string>

// Where the recorder sends and fetches files: a head-office server named on the command line, or none
// (stand-alone). lbl_type shows it.
class Connection {
public:
    static constexpr const char* standalone = "StandAlone";

    // The command line's server; empty (and the literal "StandAlone") is stand-alone.
    explicit Connection(std::string server) : server_(std::move(server)) {}

    [[nodiscard]] bool connected() const { return !server_.empty() && server_ != standalone; }
    // What lbl_type shows.
    [[nodiscard]] std::string label_text() const { return server_.empty() ? std::string(standalone) : server_; }

private:
    std::string server_;
};
