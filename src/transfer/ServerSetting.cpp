#include "transfer/ServerSetting.h"

#include "core/AsciiCase.h"

#include <arpa/inet.h>
#include <charconv>

std::optional<int> parse_port(std::string_view text) {
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

namespace {

bool is_ascii_alnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_address(std::string_view text, int family) {
    unsigned char bytes[16];
    return ::inet_pton(family, std::string(text).c_str(), bytes) == 1;
}

bool is_label(std::string_view label) {
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
        return false;
    }
    for (const char c : label) {
        if (!is_ascii_alnum(c) && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

// Letters, digits, "-" and "_" in dot-separated labels of 1 to 63 characters that neither begin nor end with
// "-". A name whose last label is all digits can only be an IPv4 address, and must be a valid one.
bool is_host_name(std::string_view name) {
    if (name.empty() || name.size() > 253) {
        return false;
    }
    std::string_view label;
    for (std::size_t start = 0;;) {
        const auto dot = name.find('.', start);
        label = name.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (!is_label(label)) {
            return false;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    const bool numeric = label.find_first_not_of("0123456789") == std::string_view::npos;
    return !numeric || is_address(name, AF_INET);
}

// "HOST" or "[V6]", then ":PORT" only where a port may stand; the host without brackets, or nullopt.
std::optional<ServerAddress> host_and_port(std::string_view text, bool port_allowed) {
    ServerAddress a;
    std::string_view after;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos || !is_address(text.substr(1, close - 1), AF_INET6)) {
            return std::nullopt;
        }
        a.host = std::string(text.substr(1, close - 1));
        after = text.substr(close + 1);
    } else {
        const auto colon = text.find(':');
        if (!is_host_name(text.substr(0, colon))) {
            return std::nullopt;
        }
        a.host = std::string(text.substr(0, colon));
        after = colon == std::string_view::npos ? std::string_view{} : text.substr(colon);
    }
    if (after.empty()) {
        return a;
    }
    const auto port = port_allowed && after.front() == ':' ? parse_port(after.substr(1)) : std::nullopt;
    if (!port) {
        return std::nullopt;
    }
    a.port = *port;
    a.port_written = true;
    return a;
}

std::optional<Transport> transport_of(std::string_view scheme) {
    const std::string s = ascii_lower(std::string(scheme));
    if (s == "ftps") {
        return Transport::Ftps;
    }
    if (s == "sftp") {
        return Transport::Sftp;
    }
    if (s == "ftp") {
        return Transport::Ftp;
    }
    return std::nullopt;
}

} // namespace

std::optional<ServerAddress> parse_server_setting(std::string_view setting, int ftp_port) {
    const auto scheme_end = setting.find("://");
    const auto transport = scheme_end == std::string_view::npos ? std::optional(Transport::Ftp)
                                                                : transport_of(setting.substr(0, scheme_end));
    if (!transport) {
        return std::nullopt;
    }
    const bool url = scheme_end != std::string_view::npos;
    auto address = host_and_port(url ? setting.substr(scheme_end + 3) : setting, url);
    if (!address) {
        return std::nullopt;
    }
    address->transport = *transport;
    if (!address->port_written) {
        address->port = *transport == Transport::Sftp ? 22 : ftp_port;
    }
    address->setting = std::string(setting);
    return address;
}

std::string setting_for_message(std::string_view setting) {
    for (const char c : setting) {
        if (c == '@' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return "(表示しません)";
        }
    }
    return std::string(setting);
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
