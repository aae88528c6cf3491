#include "lists/MemberListDownload.h"

#include "app/Recorder.h"
#include "core/TextFile.h"
#include "transfer/FtpScript.h"

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Fetches the download copy; true when a complete copy arrived.
bool download(Recorder& rec) {
    std::error_code ec;
    const fs::path copy = rec.paths.member_download();
    if (is_file(copy)) {
        fs::remove(copy, ec);
    }
    try {
        const FtpOutcome outcome = run_ftp_script(rec, "get E99_member.csv c:\\zerbanto\\xE99_member.csv");
        // A copy that could not be removed beforehand is not taken for a fresh one.
        return outcome.ok && is_file(rec.paths.member_download());
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void refresh_member_list(Recorder& rec) {
    if (download(rec)) {
        // A copy that cannot be put in place leaves the list on disk, which is loaded as it is.
        if (!textfile::copy_file_atomic(rec.paths.member_download(), rec.paths.member_list())) {
            rec.ui.message(
                MessageIcon::Exclamation, MessageButtons::Ok,
                std::string("c:\\zerbanto\\E99_member.csv\r\n受け取ったメンバーリストに置き換えられません。") +
                    (is_file(rec.paths.member_list()) ? "前回のメンバーリストを使用します。" : ""));
        }
        return;
    }
    if (is_file(rec.paths.member_list())) {
        rec.ui.message(MessageIcon::Information, MessageButtons::Ok,
                       "通信ができない為、前回のメンバーリストを使用します。");
        return;
    }
    rec.ui.message(MessageIcon::Critical, MessageButtons::Ok,
                   "c:\\zerbanto\\E99_member.csv\r\nメンバーリストが取得できません");
    rec.end_program(); // closes the log
}
