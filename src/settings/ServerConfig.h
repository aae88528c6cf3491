#pragma once

#include "transfer/ServerSetting.h"

#include <filesystem>
#include <optional>
#include <string>

// The optional file server.conf: the head office's server and the store's credentials, kept out of the program
// and out of the command line. Lines "key = value"; blank lines and lines starting with "#" are skipped.
// Relative paths are taken from the file's own folder.
struct ServerConfig {
    std::optional<std::string> server;
    std::optional<std::string> user;
    std::optional<std::string> password;
    TransportKeys keys;
};

struct ServerConfigRead {
    ServerConfig config;
    std::string error; // not empty: why the file cannot be used, naming it
};

// Reads the file. It holds a password, so it must belong to the user running the recorder and give no access
// to group and others. A missing file is an empty configuration unless it was asked for by name.
[[nodiscard]] ServerConfigRead read_server_config(const std::filesystem::path& path, bool asked_for);
