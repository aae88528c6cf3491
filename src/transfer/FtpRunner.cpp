#include "transfer/FtpRunner.h"

#include "core/TextFile.h"
#include "transfer/LocalPath.h"

#include <curl/curl.h>

#include <cstdio>
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
// the top, not from the login folder.
std::string folder_url(CURL* curl, const FtpServer& s) {
    const bool ipv6 = s.host.find(':') != std::string::npos && s.host.front() != '[';
    std::string url = "ftp://" + (ipv6 ? "[" + s.host + "]" : s.host) + ":" + std::to_string(s.port) + "/";
    std::string_view dir = s.directory;
    if (!dir.empty() && dir.front() == '/') {
        url += "%2F";
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

// Splits protocol text into lines for the log; the password never reaches it.
void log_protocol(FtpLog& log, const char* prefix, std::string_view text) {
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.rfind("PASS ", 0) == 0) {
            line = "PASS ****";
        }
        log.raw(std::string(prefix) + std::string(line));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

int on_debug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto& log = *static_cast<FtpLog*>(user);
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

size_t on_write(char* data, size_t size, size_t n, void* user) {
    return std::fwrite(data, size, n, static_cast<std::FILE*>(user));
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
    CURL* curl = nullptr;
    CURLcode last = CURLE_OK;
    char error[CURL_ERROR_SIZE] = {};

    Impl(FtpServer s, FtpLimits l, FtpLog& lg, const std::atomic<bool>& c)
        : server(std::move(s)), limits(l), log(lg), cancel(c) {
        global_init_once();
        curl = curl_easy_init();
        if (curl == nullptr) {
            return;
        }
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(curl, CURLOPT_USERNAME, server.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, server.password.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connect_seconds));
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(limits.stall_seconds));
        // The client averages the speed over its last few seconds: a transfer that stops after a burst ends
        // some 6 s after the limit.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stall_seconds));
        curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD)); // "cd /sub"
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, on_debug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &log);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, on_progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cancel);
    }

    ~Impl() {
        if (curl != nullptr) {
            curl_easy_cleanup(curl); // sends QUIT on the open control connection
        }
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    bool perform(const std::string& url) {
        if (curl == nullptr) {
            last = CURLE_FAILED_INIT;
            log.note("エラー: FTP クライアントを初期化できません");
            return false;
        }
        error[0] = '\0';
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        last = curl_easy_perform(curl);
        if (last != CURLE_OK) {
            log.note("エラー " + std::to_string(static_cast<int>(last)) + ": " +
                     (error[0] != '\0' ? std::string(error) : std::string(curl_easy_strerror(last))));
        }
        return last == CURLE_OK;
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
// Parts of earlier downloads of the same file that a killed or powered-off recorder left behind. Only one
// recorder runs on a root, so none of them is still being written.
void remove_stale_parts(const fs::path& local) {
    const std::string prefix = local.filename().string() + ".part-";
    std::error_code ec;
    for (fs::directory_iterator it(local.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().starts_with(prefix)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}
} // namespace

bool FtpSession::get(std::string_view remote, const fs::path& local) {
    Impl& s = *impl_;
    remove_stale_parts(local);
    fs::path part = local;
    part += ".part-" + std::to_string(::getpid());
    // Created for its owner only, as every file of the system folder: the member list holds names and card IDs.
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (f == nullptr) {
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
        curl_easy_setopt(s.curl, CURLOPT_WRITEDATA, f);
    }
    const std::string url = s.curl != nullptr ? folder_url(s.curl, s.server) + escape(s.curl, remote) : "";
    bool ok = s.perform(url);
    if (ok && !flush_to_disk(f)) {
        s.last = CURLE_WRITE_ERROR;
        s.log.note("エラー: 書き込めません: " + part.string());
        ok = false;
    }
    std::fclose(f);
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
    std::FILE* f = std::fopen(local.c_str(), "rb");
    if (f == nullptr) {
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

namespace {

FtpOutcome get_file(FtpSession& session, const ftpscript::Script& script, const fs::path& root, FtpLog& log) {
    FtpOutcome outcome;
    const auto local = localpath::map(root, script.locals.front());
    log.note("ftp> get " + script.remote + " " + script.locals.front());
    if (!local) {
        log.note("エラー: ローカルのパスが正しくありません: " + script.locals.front());
        return outcome;
    }
    outcome.ok = session.get(script.remote, *local);
    log.note(outcome.ok ? "受信しました: " + local->string() : "受信できませんでした");
    return outcome;
}

FtpOutcome put_files(FtpSession& session, const ftpscript::Script& script, const fs::path& root, FtpLog& log) {
    FtpOutcome outcome;
    outcome.ok = true;
    for (const auto& pattern : script.locals) {
        log.note("ftp> mput " + pattern);
        for (const auto& file : localpath::expand(root, pattern)) {
            if (textfile::is_temporary_name(file.filename().string())) {
                continue; // a copy still being written, or cut short by a kill: never a file to send
            }
            if (session.put(file)) {
                outcome.uploaded.push_back(file);
                log.note("送信しました: " + file.string());
                continue;
            }
            outcome.ok = false;
            log.note("送信できませんでした: " + file.string());
            if (session.connection_failed()) {
                return outcome;
            }
        }
    }
    return outcome;
}

} // namespace

FtpOutcome run_ftp_job(const ftpscript::Script& script, const fs::path& root, const FtpLimits& limits, FtpLog& log,
                       const std::atomic<bool>& cancel) {
    log.note("ftp> open " + script.host + " " + std::to_string(script.port));
    FtpOutcome outcome;
    {
        FtpSession session({script.host, script.port, script.user, script.password, script.directory}, limits, log,
                           cancel);
        outcome = script.transfer == ftpscript::Transfer::Get ? get_file(session, script, root, log)
                                                              : put_files(session, script, root, log);
    }
    log.note("ftp> bye");
    return outcome;
}
