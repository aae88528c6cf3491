#include "settings/ServerConfig.h"

#include "core/RegularFile.h"
#include "core/SystemErrorText.h"
#include "core/TextFile.h"
#include "core/Trim.h"

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
    return p.empty() || p.is_absolute() ? p : folder / p;
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

} // namespace

ServerConfigRead read_server_config(const fs::path& path, bool asked_for) {
    ServerConfigRead r;
    const std::string bytes = read_checked(path, asked_for, r.error);
    if (!r.error.empty()) {
        return r;
    }
    const fs::path folder = path.parent_path();
    int number = 0;
    for (const auto& raw : textfile::split_lines(bytes)) {
        ++number;
        const std::string line = trim(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto eq = line.find('=');
        const std::string key = eq == std::string::npos ? std::string{} : trim(line.substr(0, eq));
        if (key.empty() || !take(r.config, key, trim(line.substr(eq + 1)), folder)) {
            r.error = "設定ファイル " + path.string() + " の " + std::to_string(number) +
                      " 行目が「キー = 値」(server, user, password, private_key, ca_file, known_hosts) ではありません";
            return r;
        }
    }
    return r;
}
