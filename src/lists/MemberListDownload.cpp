#include "lists/MemberListDownload.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "transfer/FtpScript.h"

#include <exception>

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Fetches the download copy; true when a complete copy arrived.
bool download(const FtpJob& session) {
    std::error_code ec;
    const fs::path copy = session.paths.member_download();
    if (is_file(copy)) {
        fs::remove(copy, ec);
    }
    try {
        const auto outcome = run_ftp_script(session, "get E99_member.csv c:\\zerbanto\\xE99_member.csv");
        // A copy that could not be removed beforehand is not taken for a fresh one.
        return outcome && outcome->ok && is_file(session.paths.member_download());
    } catch (const std::exception&) {
        return false; // the transfer's thread could not be started or failed: no copy
    }
}

} // namespace

MemberListRefresh refresh_member_list(const FtpJob& session) {
    if (download(session)) {
        // A copy that cannot be put in place leaves the list on disk, which is loaded as it is (if any).
        if (!textfile::copy_file_atomic(session.paths.member_download(), session.paths.member_list())) {
            return is_file(session.paths.member_list()) ? MemberListRefresh::UnplacedOldList
                                                        : MemberListRefresh::UnplacedNoList;
        }
        return MemberListRefresh::Fresh;
    }
    return is_file(session.paths.member_list()) ? MemberListRefresh::OldList : MemberListRefresh::NoList;
}
