#include "transfer/FtpScript.h"

#include "core/AsciiCase.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "dialogs/UserInterface.h"
#include "transfer/FtpLogFile.h"
#include "transfer/FtpScriptFile.h"

#include <chrono>
#include <future>

namespace fs = std::filesystem;

namespace {

bool is_debug_company(std::string_view name) {
    return equal_ignoring_case(name, "debug");
}

// Tells a transfer still running to give up when the wait is left early.
struct CancelOnExit {
    std::atomic<bool>& cancel;
    ~CancelOnExit() { cancel = true; }
};

} // namespace

const ServerAddress& ftp_server(std::string_view company, const ServerAddress& connection,
                                const std::optional<ServerAddress>& debug_server) {
    if (is_debug_company(company) && debug_server) {
        return *debug_server;
    }
    return connection;
}

Result<FtpOutcome> run_ftp_script(const FtpJob& job, std::string_view command) {
    // The script file is for service staff; the run takes the same script from memory, not back from the disk.
    // It holds the password: its owner alone may read it.
    if (auto st = textfile::write_lines_atomic(job.paths.file("ftp_bat2.txt"),
                                               ftpscript::lines(job.server, command, job.login),
                                               fs::perms::owner_read | fs::perms::owner_write);
        !st) {
        return st.error();
    }
    const fs::path log_path = job.paths.file("ftplog.txt");
    const fs::path root = job.paths.root();
    const FtpLimits limits = job.limits;
    const TransportKeys keys = job.keys;
    auto cancel = std::make_shared<std::atomic<bool>>(false);

    // The transfer runs beside the window's thread; the window keeps handling its events until it is over.
    std::future<FtpOutcome> done =
        std::async(std::launch::async,
                   [script = ftpscript::script(job.server, command, job.login), log_path, root, limits, keys, cancel] {
                       FtpLogFile log(log_path);
                       if (!script.script) {
                           log.note("エラー: " + script.error);
                           return FtpOutcome{};
                       }
                       return run_ftp_job(*script.script, root, limits, keys, log, *cancel);
                   });
    CancelOnExit cancel_on_exit{*cancel};
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        job.ui.process_events();
    }
    return done.get();
}
