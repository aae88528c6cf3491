#pragma once

#include "transfer/FtpScriptFile.h"
#include "transfer/FtpSession.h"

#include <atomic>
#include <filesystem>
#include <vector>

// What running a script achieved.
struct FtpOutcome {
    bool ok = false;                             // every transfer of the script completed
    std::vector<std::filesystem::path> uploaded; // mput: the local files the server took
};

// Runs a parsed script against its server, over the transport its open line names; local paths of drive C:
// are mapped below root.
[[nodiscard]] FtpOutcome run_ftp_job(const ftpscript::Script& script, const std::filesystem::path& root,
                                     const FtpLimits& limits, const TransportKeys& keys, FtpLog& log,
                                     const std::atomic<bool>& cancel);
