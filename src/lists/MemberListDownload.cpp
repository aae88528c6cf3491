#include "lists/MemberListDownload.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "lists/MemberList.h"
#include "transfer/FtpScript.h"

#include <exception>

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Fetches the download copy; true when a complete copy arrived.
bool download(const FtpJob& job, const fs::path& copy) {
    std::error_code ec;
    if (is_file(copy)) {
        fs::remove(copy, ec);
    }
    try {
        const auto outcome = run_ftp_script(job, "get E99_member.csv c:\\zerbanto\\xE99_member.csv");
        // A copy that could not be removed beforehand is not taken for a fresh one. A list without a member
        // would leave every card unknown: it is a failed download, and the earlier list stays.
        const bool arrived = outcome && outcome->ok && is_file(copy);
        if (arrived && holds_a_member(copy)) {
            return true;
        }
        if (arrived) {
            fs::remove(copy, ec);
        }
        return false;
    } catch (const std::exception&) {
        return false; // the transfer's thread could not be started or failed: no copy
    }
}

} // namespace

MemberListRefresh refresh_member_list(const FtpJob& job) {
    // Each name is looked up once: one in another case costs a scan of the folder.
    const fs::path copy = job.paths.member_download();
    const fs::path list = job.paths.member_list();
    if (download(job, copy)) {
        // A copy that cannot be put in place leaves the list on disk, which is loaded as it is (if any).
        if (!textfile::copy_file_atomic(copy, list)) {
            return is_file(list) ? MemberListRefresh::UnplacedOldList : MemberListRefresh::UnplacedNoList;
        }
        return MemberListRefresh::Fresh;
    }
    return is_file(list) ? MemberListRefresh::OldList : MemberListRefresh::NoList;
}
