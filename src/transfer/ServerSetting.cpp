#include "transfer/ServerSetting.h"

#include "core/AsciiCase.h"

#include <charconv>

std::optional<int> parse_port(std::string_view text) {
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (ec != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

namespace {

// "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT", after the scheme; a trailing "/" is allowed.
std::optional<ServerAddress> host_and_port(Transport transport, std::string_view rest) {
    if (!rest.empty() && rest.back() == '/') {
        rest.remove_suffix(1);
    }
    ServerAddress a{transport, {}, std::nullopt};
    std::size_t colon = std::string_view::npos;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        a.host = std::string(rest.substr(1, close - 1));
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':') {
                return std::nullopt;
            }
            colon = close + 1;
        }
    } else {
        colon = rest.find(':');
        a.host = std::string(rest.substr(0, colon));
    }
    if (colon != std::string_view::npos) {
        a.port = parse_port(rest.substr(colon + 1));
        if (!a.port) {
            return std::nullopt;
        }
    }
    if (a.host.empty() || a.host.find_first_of("/@ \t") != std::string::npos) {
        return std::nullopt;
    }
    return a;
}

} // namespace

std::optional<ServerAddress> parse_server_address(std::string_view setting) {
    const auto scheme_end = setting.find("://");
    if (scheme_end == std::string_view::npos) {
        // A plain host name (or address) as the recorder has always taken it, port from the FTP port option.
        if (setting.empty() || setting.find_first_of("/ \t") != std::string_view::npos) {
            return std::nullopt;
        }
        return ServerAddress{Transport::Ftp, std::string(setting), std::nullopt};
    }
    const std::string scheme = ascii_lower(std::string(setting.substr(0, scheme_end)));
    const std::string_view rest = setting.substr(scheme_end + 3);
    if (scheme == "ftps") {
        return host_and_port(Transport::Ftps, rest);
    }
    if (scheme == "sftp") {
        return host_and_port(Transport::Sftp, rest);
    }
    if (scheme == "ftp") {
        return host_and_port(Transport::Ftp, rest);
    }
    return std::nullopt;
}

int port_to_use(const ServerAddress& address, int ftp_port) {
    if (address.port) {
        return *address.port;
    }
    return address.transport == Transport::Sftp ? 22 : ftp_port;
}

std::string transport_words(Transport transport) {
    switch (transport) {
    case Transport::Ftps:
        return "FTPS (TLS で暗号化、証明書とホスト名を確認)";
    case Transport::Sftp:
        return "SFTP (SSH で暗号化、ホスト鍵を確認)";
    case Transport::Ftp:
        break;
    }
    return "FTP (暗号化なし)";
}
