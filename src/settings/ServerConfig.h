#pragma once

#include "transfer/ServerSetting.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// The optional file server.conf: the head office's server and the store's credentials, kept out of the program
// and out of the command line. Lines "key = value"; blank lines and lines starting with "#" are skipped.
// Relative paths are taken from the file's own folder. Each key stands once.
struct ServerConfig {
    std::optional<std::string> server;
    std::optional<std::string> user;
    std::optional<std::string> password;
    TransportKeys keys;
    std::map<std::string, int> line_of; // the line number of each key the file holds
};

struct ServerConfigRead {
    ServerConfig config;
    std::string error; // not empty: why the file cannot be used, naming it
};

// Reads the file. It holds a password, so it must belong to the user running the recorder and give no access
// to group and others. A missing file is an empty configuration unless it was asked for by name. The files it
// names decide whom the recorder trusts and hold the store's key: they must belong to that user or root, and
// neither they nor their folders may be writable by others; the key may not be readable by others either. A
// user or password that code page 932 cannot hold, or that holds a NUL, could not be sent as written.
[[nodiscard]] ServerConfigRead read_server_config(const std::filesystem::path& path, bool asked_for);
