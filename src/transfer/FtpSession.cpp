#include "transfer/FtpSession.h"

#include "core/Paths.h"
#include "core/RegularFile.h"
#include "core/TextFile.h"

#include <curl/curl.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void global_init_once() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string escape(CURL* curl, std::string_view text) {
    char* e = curl_easy_escape(curl, text.data(), static_cast<int>(text.size()));
    std::string out = e != nullptr ? e : "";
    curl_free(e);
    return out;
}

// "ftp://host:port/" and the folder: an absolute folder starts with %2F so that the client changes to it from
// the top, not from the login folder. Over SFTP the folder lies in the account's home ("/~/sub/").
std::string folder_url(CURL* curl, const FtpServer& s) {
    const bool ipv6 = s.host.find(':') != std::string::npos && s.host.front() != '[';
    const bool sftp = s.transport == Transport::Sftp;
    std::string url = (sftp ? "sftp://" : "ftp://") + (ipv6 ? "[" + s.host + "]" : s.host) + ":" +
                      std::to_string(s.port) + (sftp ? "/~/" : "/");
    std::string_view dir = s.directory;
    if (!dir.empty() && dir.front() == '/') {
        url += sftp ? "" : "%2F";
        dir.remove_prefix(1);
    }
    while (!dir.empty()) {
        const auto sep = dir.find('/');
        const std::string_view name = dir.substr(0, sep);
        if (!name.empty()) {
            url += escape(curl, name) + "/";
        }
        dir = sep == std::string_view::npos ? std::string_view{} : dir.substr(sep + 1);
    }
    return url;
}

// Where the client's protocol text goes, the key file's path, which the log never shows, and what the client
// said when the key did not open.
struct DebugSink {
    FtpLog& log;
    std::string hidden;
    std::string key_failure;
};

// A character that may stand inside a path: the key's path is hidden where it stands whole, not where a name
// that happens to be part of it appears in another word.
bool is_path_char(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) != 0 || std::string_view("./_-~+%").find(c) != std::string_view::npos;
}

void hide_path(std::string& line, const std::string& path) {
    if (path.empty()) {
        return;
    }
    for (auto at = line.find(path); at != std::string::npos; at = line.find(path, at + 1)) {
        const std::size_t end = at + path.size();
        if ((at == 0 || !is_path_char(line[at - 1])) && (end == line.size() || !is_path_char(line[end]))) {
            line.replace(at, path.size(), "****");
        }
    }
}

// Splits protocol text into lines for the log; the password and the key's path never reach it.
void log_protocol(DebugSink& sink, const char* prefix, std::string_view text) {
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("PASS ", 0) == 0) {
            line = "PASS ****";
        }
        if (line.find("public key authentication failed") != std::string::npos) {
            sink.key_failure = line;
        }
        hide_path(line, sink.hidden);
        sink.log.raw(prefix + line);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

int on_debug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto& log = *static_cast<DebugSink*>(user);
    const std::string_view text(data, size);
    switch (type) {
    case CURLINFO_TEXT:
        log_protocol(log, "* ", text);
        break;
    case CURLINFO_HEADER_IN:
        log_protocol(log, "< ", text);
        break;
    case CURLINFO_HEADER_OUT:
        log_protocol(log, "> ", text);
        break;
    default:
        break;
    }
    return 0;
}

int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

// The file a download goes into, and what is needed to tell whether it ends with a line end.
struct Sink {
    std::FILE* file = nullptr;
    char last = '\0'; // the last byte received; still '\0' when nothing came
};

size_t on_write(char* data, size_t size, size_t n, void* user) {
    auto& sink = *static_cast<Sink*>(user);
    const size_t written = std::fwrite(data, 1, size * n, sink.file);
    if (written > 0) {
        sink.last = data[written - 1];
    }
    return written;
}

// The server's host key must match known_hosts; what was found is kept to tell the log.
int on_host_key(CURL*, const curl_khkey*, const curl_khkey*, curl_khmatch match, void* user) {
    *static_cast<curl_khmatch*>(user) = match;
    return match == CURLKHMATCH_OK ? CURLKHSTAT_FINE : CURLKHSTAT_REJECT;
}

// Without a known-hosts file from the configuration, the account's own, as ssh uses it. A host not listed there
// is refused: a key is never trusted on first use.
std::string known_hosts_file(const TransportKeys& keys) {
    if (!keys.known_hosts.empty()) {
        return keys.known_hosts.string();
    }
    const auto home = Paths::home();
    return home ? (*home / ".ssh" / "known_hosts").string() : "/nonexistent/known_hosts";
}

size_t on_read(char* data, size_t size, size_t n, void* user) {
    auto* f = static_cast<std::FILE*>(user);
    const size_t got = std::fread(data, size, n, f);
    return (got == 0 && std::ferror(f) != 0) ? CURL_READFUNC_ABORT : got;
}

bool flush_to_disk(std::FILE* f) {
    return std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
}

} // namespace

struct FtpSession::Impl {
    FtpServer server;
    FtpLimits limits;
    FtpLog& log;
    const std::atomic<bool>& cancel;
    DebugSink debug;
    CURL* curl = nullptr;
    CURLcode last = CURLE_OK;
    curl_khmatch host_key = CURLKHMATCH_OK;
    char error[CURL_ERROR_SIZE] = {};

    Impl(FtpServer s, FtpLimits l, FtpLog& lg, const std::atomic<bool>& c)
        : server(std::move(s)), limits(l), log(lg), cancel(c), debug{lg, server.keys.private_key.string(), {}} {
        global_init_once();
        curl = curl_easy_init();
        if (curl == nullptr) {
            return;
        }
        set_common();
        if (server.transport == Transport::Ftps) {
            set_tls();
        } else if (server.transport == Transport::Sftp) {
            set_ssh();
        }
    }

    ~Impl() {
        if (curl != nullptr) {
            curl_easy_cleanup(curl); // sends QUIT on the open control connection
        }
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void set_common() {
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, server.transport == Transport::Sftp ? "sftp" : "ftp");
        curl_easy_setopt(curl, CURLOPT_USERNAME, server.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, server.password.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connect_seconds));
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(limits.stall_seconds));
        // The client averages the speed over its last few seconds: a transfer that stops after a burst ends
        // some 6 s after the limit.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(limits.min_speed));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stall_seconds));
        curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD)); // "cd /sub"
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, on_debug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &debug);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, on_progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cancel);
    }

    // TLS on the control and the data channel or nothing; the certificate must chain to the configured CA (or,
    // without one, to the system's) and name the host.
    void set_tls() {
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!server.keys.ca_file.empty()) {
            curl_easy_setopt(curl, CURLOPT_CAINFO, server.keys.ca_file.c_str());
            curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
        }
    }

    void set_ssh() {
        // Uploaded logs are for the store's account alone on the server too.
        curl_easy_setopt(curl, CURLOPT_NEW_FILE_PERMS, 0600L);
        curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, known_hosts_file(server.keys).c_str());
        curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, on_host_key);
        curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, &host_key);
        if (server.keys.private_key.empty()) {
            curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, static_cast<long>(CURLSSH_AUTH_PASSWORD));
            return;
        }
        curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, static_cast<long>(CURLSSH_AUTH_PUBLICKEY));
        curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE, server.keys.private_key.c_str());
        curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE, ""); // derived from the private key
        curl_easy_setopt(curl, CURLOPT_KEYPASSWD, server.password.c_str());
    }

    bool perform(const std::string& url) {
        if (curl == nullptr) {
            last = CURLE_FAILED_INIT;
            log.note("エラー: FTP クライアントを初期化できません");
            return false;
        }
        error[0] = '\0';
        host_key = CURLKHMATCH_OK;
        debug.key_failure.clear();
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        last = curl_easy_perform(curl);
        if (last != CURLE_OK) {
            log.note("エラー " + std::to_string(static_cast<int>(last)) + ": " +
                     (error[0] != '\0' ? std::string(error) : std::string(curl_easy_strerror(last))));
            if (const std::string why = failed_check(); !why.empty()) {
                log.note("確認に失敗しました: " + why);
            }
        }
        return last == CURLE_OK;
    }

    // Which check refused the server or the store, in words for service staff; empty for other failures.
    [[nodiscard]] std::string failed_check() const {
        if (last != CURLE_OK && server.transport == Transport::Sftp && !server.keys.private_key.empty()) {
            if (std::string why = key_words(); !why.empty()) {
                return why;
            }
        }
        switch (last) {
        case CURLE_PEER_FAILED_VERIFICATION:
            return server.transport == Transport::Sftp ? host_key_words() : certificate_words();
        case CURLE_USE_SSL_FAILED:
            return "サーバーが暗号化 (AUTH TLS) に応じません。暗号化なしでは送受信しません";
        case CURLE_SSL_CACERT_BADFILE:
            return "CA ファイルを読めません (設定ファイルの ca_file)";
        case CURLE_LOGIN_DENIED:
            return server.transport == Transport::Sftp && !server.keys.private_key.empty()
                       ? "ログインが拒否されました (ユーザー名か鍵がサーバーに登録されたものと違います)"
                       : "ログインが拒否されました (ユーザー名かパスワードが違います)";
        default:
            return {};
        }
    }

    // A store's key that could not be used, as against one the server refused; empty when it opened.
    [[nodiscard]] std::string key_words() const {
        if (::access(server.keys.private_key.c_str(), R_OK) != 0) {
            return "秘密鍵のファイルがないか、読めません (設定ファイルの private_key)";
        }
        if (debug.key_failure.find("passphrase") != std::string::npos) {
            return "秘密鍵を開けません: パスフレーズ (設定ファイルの password) が違うか、鍵のファイルが壊れています";
        }
        return {};
    }

    [[nodiscard]] std::string certificate_words() const {
        // The client checks the name after the chain, and says so in its message.
        if (std::string_view(error).find("host name") != std::string_view::npos) {
            return "証明書がホスト名 " + server.host + " のものではありません";
        }
        return "サーバーの証明書を信頼できません (CA ファイルの CA が発行したものでないか、期限切れです)";
    }

    [[nodiscard]] std::string host_key_words() const {
        if (host_key == CURLKHMATCH_MISMATCH) {
            return "サーバーのホスト鍵が known_hosts の鍵と違います (鍵が替わったか、別のサーバーです)";
        }
        return "サーバーのホスト鍵が known_hosts にありません (最初の接続でも鍵は信用しません)";
    }
};

FtpSession::FtpSession(FtpServer server, FtpLimits limits, FtpLog& log, const std::atomic<bool>& cancel)
    : impl_(std::make_unique<Impl>(std::move(server), limits, log, cancel)) {}

FtpSession::~FtpSession() = default;

bool FtpSession::connection_failed() const {
    switch (impl_->last) {
    case CURLE_OK:
    case CURLE_UPLOAD_FAILED:
    case CURLE_READ_ERROR:
    case CURLE_FILE_COULDNT_READ_FILE:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_WRITE_ERROR:
        return false;
    default:
        return true;
    }
}

namespace {
// A file for its owner only, as every file of the system folder (the member list holds names and card IDs),
// never reached through a link; one left by an earlier process of the same ID is replaced.
int create_private(const fs::path& path) {
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0 && errno == EEXIST) {
        ::unlink(path.c_str());
        fd = ::open(path.c_str(), flags, 0600);
    }
    return fd;
}
} // namespace

namespace {
// A server that announces no size (no SIZE reply, no size in its 150 reply) gives no way to tell a complete
// file from one cut short, except that a list ends with a line end.
bool looks_cut_short(CURL* curl, const Sink& sink) {
    curl_off_t announced = -1;
    if (curl == nullptr || curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK) {
        announced = -1;
    }
    return announced < 0 && sink.last != '\n' && sink.last != '\r';
}
} // namespace

bool FtpSession::get(std::string_view remote, const fs::path& local) {
    Impl& s = *impl_;
    // Written under the recorder's temporary name beside local, which a start after a kill removes; renamed
    // over local once whole and on disk.
    const fs::path part = local.parent_path() / textfile::temporary_name(local.filename().string());
    const int fd = create_private(part);
    Sink sink{fd < 0 ? nullptr : ::fdopen(fd, "wb")};
    if (sink.file == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        s.last = CURLE_WRITE_ERROR;
        s.log.note("エラー: 書き込めません: " + part.string());
        return false;
    }
    if (s.curl != nullptr) {
        curl_easy_setopt(s.curl, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(s.curl, CURLOPT_WRITEFUNCTION, on_write);
        curl_easy_setopt(s.curl, CURLOPT_WRITEDATA, &sink);
    }
    const std::string url = s.curl != nullptr ? folder_url(s.curl, s.server) + escape(s.curl, remote) : "";
    bool ok = s.perform(url);
    if (ok && looks_cut_short(s.curl, sink)) {
        s.last = CURLE_PARTIAL_FILE;
        s.log.note(
            "エラー: サーバーがサイズを知らせず、ファイルが行末で終わっていません。途中で切れたものとして使いません");
        ok = false;
    }
    if (ok && !flush_to_disk(sink.file)) {
        s.last = CURLE_WRITE_ERROR;
        s.log.note("エラー: 書き込めません: " + part.string());
        ok = false;
    }
    std::fclose(sink.file);
    std::error_code ec;
    if (ok && ::rename(part.c_str(), local.c_str()) != 0) {
        s.last = CURLE_WRITE_ERROR;
        s.log.note("エラー: 置き換えられません: " + local.string());
        ok = false;
    }
    if (!ok) {
        fs::remove(part, ec);
        return false;
    }
    textfile::sync_parent(local);
    return true;
}

bool FtpSession::put(const fs::path& local) {
    Impl& s = *impl_;
    // The outbox was listed before: a file swapped for a link or a FIFO since then is not sent.
    const int fd = regularfile::open_regular(local, O_NOFOLLOW);
    std::FILE* f = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (f == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        s.last = CURLE_READ_ERROR;
        s.log.note("エラー: 読めません: " + local.string());
        return false;
    }
    std::error_code ec;
    const auto size = fs::file_size(local, ec);
    if (s.curl != nullptr) {
        curl_easy_setopt(s.curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(s.curl, CURLOPT_READFUNCTION, on_read);
        curl_easy_setopt(s.curl, CURLOPT_READDATA, f);
        curl_easy_setopt(s.curl, CURLOPT_INFILESIZE_LARGE, ec ? curl_off_t{-1} : static_cast<curl_off_t>(size));
    }
    const std::string url =
        s.curl != nullptr ? folder_url(s.curl, s.server) + escape(s.curl, local.filename().string()) : "";
    const bool ok = s.perform(url);
    std::fclose(f);
    return ok;
}
