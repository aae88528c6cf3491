#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// How the recorder reaches the head office. A plain host name is FTP in the clear, as the head offices have
// always run it; "ftps://HOST[:PORT]" is FTP with TLS required on both channels; "sftp://HOST[:PORT]" is SSH.
enum class Transport { Ftp, Ftps, Sftp };

struct ServerAddress {
    Transport transport = Transport::Ftp;
    std::string host;
    std::optional<int> port; // the port written in the setting, which wins over the FTP port option
};

// Reads a connection setting as written in lbl_type; nullopt when it names an unknown scheme or a bad port.
[[nodiscard]] std::optional<ServerAddress> parse_server_address(std::string_view setting);
// A port number, 1 to 65535, written in digits only.
[[nodiscard]] std::optional<int> parse_port(std::string_view text);

// The port to connect to: the one in the setting, else the FTP port for FTP and FTPS, else 22 for SFTP.
[[nodiscard]] int port_to_use(const ServerAddress& address, int ftp_port);

// The transport in words for ftplog.txt.
[[nodiscard]] std::string transport_words(Transport transport);

// What proves the server's identity and the store's, besides the user and password: empty paths are not given.
struct TransportKeys {
    std::filesystem::path private_key; // SFTP: the store's key (the password then unlocks it)
    std::filesystem::path ca_file;     // FTPS: the CA the server's certificate must chain to; else the system's
    std::filesystem::path known_hosts; // SFTP: the server's host key must be listed here
};
