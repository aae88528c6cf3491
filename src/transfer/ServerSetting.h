#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How the recorder reaches the head office. A plain host name is FTP in the clear, as the head offices have
// always run it; "ftps://HOST[:PORT]" is FTP with TLS required on both channels; "sftp://HOST[:PORT]" is SSH.
enum class Transport { Ftp, Ftps, Sftp };

// The head office's server, read once from the setting: every transfer, the script file and the log use it.
struct ServerAddress {
    Transport transport = Transport::Ftp;
    std::string host;          // a host name or an IP address; an IPv6 address without its brackets
    int port = 21;             // the port connected to
    bool port_written = false; // the setting names the port itself
    std::string setting;       // the setting as written, which lbl_type and the script show
};

// Reads a connection setting: a host name or an IP address (IPv6 in brackets), port ftp_port; or
// "ftp://", "ftps://" or "sftp://" (any case) and such a host, with ":PORT" or nothing after it. A URL without a
// port uses ftp_port, or 22 for SFTP. nullopt for anything else.
[[nodiscard]] std::optional<ServerAddress> parse_server_setting(std::string_view setting, int ftp_port);
// A port number, 1 to 65535, written in digits only.
[[nodiscard]] std::optional<int> parse_port(std::string_view text);
// The setting for a message: itself, unless it may hold a password (an "@") or a character that cannot be shown.
[[nodiscard]] std::string setting_for_message(std::string_view setting);

// The transport in words for ftplog.txt.
[[nodiscard]] std::string transport_words(Transport transport);

// What proves the server's identity and the store's, besides the user and password: empty paths are not given.
struct TransportKeys {
    std::filesystem::path private_key; // SFTP: the store's key (the password then unlocks it)
    std::filesystem::path ca_file;     // FTPS: the CA the server's certificate must chain to; else the system's
    std::filesystem::path known_hosts; // SFTP: the server's host key must be listed here
};
