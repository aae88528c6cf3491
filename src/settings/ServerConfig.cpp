#include "settings/ServerConfig.h"

#include "core/Cp932.h"
#include "core/RegularFile.h"
#include "core/SystemErrorText.h"
#include "core/TextFile.h"
#include "core/Trim.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A few settings lines; a file far larger is not one, and is never read whole.
constexpr std::size_t max_server_config_bytes = std::size_t{64} << 10;

std::string trim(std::string_view s) {
    return std::string(trim_blanks(s));
}

std::string unreadable(const fs::path& path, int error_number) {
    return "設定ファイル " + path.string() + " を読めません (" +
           system_error_text(std::error_code(error_number, std::generic_category())) + ")";
}

// Why the file's owner or mode rule it out; empty when they are sound.
std::string check_access(const struct stat& st, const fs::path& path) {
    if (!S_ISREG(st.st_mode)) {
        return "設定ファイル " + path.string() + " は普通のファイルではありません";
    }
    // A file of root's that only root may read is refused by the open unless the recorder runs as root.
    if (st.st_uid != ::geteuid()) {
        return "設定ファイル " + path.string() +
               " の持ち主が、レコーダーを動かすユーザーではありません (chown で直してください)";
    }
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return "設定ファイル " + path.string() +
               " はほかのユーザーからも読み書きできます (chmod 600 で持ち主だけにしてください)";
    }
    return {};
}

// The file's bytes once its owner and mode have been checked on the open file itself.
std::string read_checked(const fs::path& path, bool asked_for, std::string& error) {
    const int fd = regularfile::open_without_waiting(path);
    if (fd < 0) {
        // The file, or the data folder it lies in, is not there: the data folder is checked and named later.
        if ((errno != ENOENT && errno != ENOTDIR) || asked_for) {
            error = unreadable(path, errno);
        }
        return {};
    }
    struct stat st {};
    std::string bytes;
    if (::fstat(fd, &st) != 0) {
        error = unreadable(path, errno);
    } else {
        error = check_access(st, path);
    }
    char buf[4096];
    for (ssize_t n = 0; error.empty() && (n = ::read(fd, buf, sizeof buf)) != 0;) {
        if (n < 0) {
            error = unreadable(path, errno);
            break;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > max_server_config_bytes) {
            error = "設定ファイル " + path.string() + " が大きすぎます (" +
                    std::to_string(max_server_config_bytes >> 10) + " KiB まで)";
        }
    }
    ::close(fd);
    return bytes;
}

fs::path path_value(const std::string& value, const fs::path& folder) {
    const fs::path p(value);
    return p.empty() || p.is_absolute() ? p : fs::absolute(folder / p);
}

// Takes one "key = value"; false for a key the file may not hold.
bool take(ServerConfig& c, const std::string& key, const std::string& value, const fs::path& folder) {
    if (key == "server") {
        c.server = value;
    } else if (key == "user") {
        c.user = value;
    } else if (key == "password") {
        c.password = value;
    } else if (key == "private_key") {
        c.keys.private_key = path_value(value, folder);
    } else if (key == "ca_file") {
        c.keys.ca_file = path_value(value, folder);
    } else if (key == "known_hosts") {
        c.keys.known_hosts = path_value(value, folder);
    } else {
        return false;
    }
    return true;
}

// A login that the script file, written in code page 932, would carry as "?" or cut at a NUL.
bool sendable(const std::string& value) {
    const auto marks = [](std::string_view text) { return std::count(text.begin(), text.end(), '?'); };
    return value.find('\0') == std::string::npos && marks(cp932::from_utf8(value)) == marks(value);
}

// Why one "key = value" line cannot be used; empty when it can.
std::string line_fault(const ServerConfig& c, const std::string& key, const std::string& value) {
    if (c.line_of.contains(key)) {
        return key + " が " + std::to_string(c.line_of.at(key)) + " 行目にもあります (1 つにしてください)";
    }
    if ((key == "user" || key == "password") && !sendable(value)) {
        return key + " に送れない文字 (Shift-JIS にない文字か NUL) があります";
    }
    return {};
}

std::string file_words(const std::string& key, const fs::path& file) {
    return key + " のファイル " + file.string();
}

// Why a folder on the way to a named file lets another user replace it; empty when it does not.
std::string folder_fault(const fs::path& file) {
    for (fs::path folder = file.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) == 0 && (st.st_uid == ::geteuid() || st.st_uid == 0) &&
            ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (st.st_mode & S_ISVTX) != 0)) {
            if (folder == folder.root_path()) {
                break;
            }
            continue;
        }
        return " のフォルダー " + folder.string() +
               " は、ほかのユーザーも書き換えられます (持ち主をレコーダーを動かすユーザーか root にし、chmod go-w "
               "で直してください)";
    }
    return {};
}

// Why a file named by the configuration cannot be trusted; empty when it can. The key must not be readable by
// others either.
std::string named_file_fault(const std::string& key, const fs::path& file, bool secret) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        return file_words(key, file) + " を調べられません (" +
               system_error_text(std::error_code(errno, std::generic_category())) + ")";
    }
    if (!S_ISREG(st.st_mode)) {
        return file_words(key, file) + " は普通のファイルではありません";
    }
    if (st.st_uid != ::geteuid() && st.st_uid != 0) {
        return file_words(key, file) +
               " の持ち主が、レコーダーを動かすユーザーでも root でもありません (chown で直してください)";
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return file_words(key, file) + " はほかのユーザーも書き換えられます (chmod go-w で直してください)";
    }
    if (secret && (st.st_mode & (S_IRGRP | S_IROTH)) != 0) {
        return file_words(key, file) + " はほかのユーザーも読めます (chmod 600 で持ち主だけにしてください)";
    }
    std::error_code ec;
    const fs::path real = fs::canonical(file, ec);
    for (const fs::path& p : {fs::absolute(file, ec), real}) {
        if (const std::string fault = folder_fault(p); !fault.empty()) {
            return file_words(key, file) + fault;
        }
    }
    return {};
}

std::string keys_fault(const TransportKeys& keys) {
    const std::pair<const char*, const fs::path*> named[] = {
        {"private_key", &keys.private_key}, {"ca_file", &keys.ca_file}, {"known_hosts", &keys.known_hosts}};
    for (const auto& [key, file] : named) {
        if (file->empty()) {
            continue;
        }
        if (std::string fault = named_file_fault(key, *file, file == &keys.private_key); !fault.empty()) {
            return fault;
        }
    }
    return {};
}

} // namespace

ServerConfigRead read_server_config(const fs::path& path, bool asked_for) {
    ServerConfigRead r;
    const std::string bytes = read_checked(path, asked_for, r.error);
    if (!r.error.empty()) {
        return r;
    }
    const fs::path folder = path.parent_path();
    const std::string named = "設定ファイル " + path.string() + " の ";
    int number = 0;
    for (const auto& raw : textfile::split_lines(bytes)) {
        ++number;
        const std::string line = trim(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto eq = line.find('=');
        const std::string key = eq == std::string::npos ? std::string{} : trim(line.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string{} : trim(line.substr(eq + 1));
        const std::string fault = key.empty() ? std::string{} : line_fault(r.config, key, value);
        if (!fault.empty()) {
            r.error = named;
            r.error.append(std::to_string(number)).append(" 行目: ").append(fault);
            return r;
        }
        if (key.empty() || !take(r.config, key, value, folder)) {
            r.error = named + std::to_string(number) +
                      " 行目が「キー = 値」(server, user, password, private_key, ca_file, known_hosts) ではありません";
            return r;
        }
        r.config.line_of[key] = number;
    }
    if (std::string fault = keys_fault(r.config.keys); !fault.empty()) {
        r.error = named + fault;
    }
    return r;
}
