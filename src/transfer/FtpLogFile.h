#pragma once

#include "transfer/FtpRunner.h"

#include <cstdio>
#include <filesystem>

// ftplog.txt: the log of the last run, started afresh by each run and written line by line, so that it
// tells how far a run came even when the program was stopped during it.
class FtpLogFile final : public FtpLog {
public:
    explicit FtpLogFile(const std::filesystem::path& path);
    ~FtpLogFile() override;
    FtpLogFile(const FtpLogFile&) = delete;
    FtpLogFile& operator=(const FtpLogFile&) = delete;

    void note(std::string_view utf8_line) override;
    void raw(std::string_view bytes_line) override;

private:
    std::FILE* file_ = nullptr; // null when the log cannot be written: the transfer runs all the same
};
