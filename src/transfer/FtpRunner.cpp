#include "transfer/FtpRunner.h"

#include "core/TextFile.h"
#include "transfer/LocalPath.h"

namespace fs = std::filesystem;

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

FtpOutcome run_ftp_job(const ftpscript::Script& script, const fs::path& root, const FtpLimits& limits,
                       const TransportKeys& keys, FtpLog& log, const std::atomic<bool>& cancel) {
    const ServerAddress& address = script.server;
    // The port connected to, beside a setting that does not name it.
    log.note("ftp> open " + address.setting + (address.port_written ? "" : " " + std::to_string(address.port)));
    const FtpServer server{address.host,      address.port, script.login.user, script.login.password, script.directory,
                           address.transport, keys};
    log.note("接続方式: " + transport_words(server.transport) + ", ポート " + std::to_string(server.port));
    FtpOutcome outcome;
    {
        FtpSession session(server, limits, log, cancel);
        outcome = script.transfer == ftpscript::Transfer::Get ? get_file(session, script, root, log)
                                                              : put_files(session, script, root, log);
    }
    log.note("ftp> bye");
    return outcome;
}
