#include "transfer/FtpLogFile.h"

#include "core/Cp932.h"

FtpLogFile::FtpLogFile(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "wb")) {}

FtpLogFile::~FtpLogFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void FtpLogFile::note(std::string_view utf8_line) {
    raw(cp932::from_utf8(utf8_line));
}

void FtpLogFile::raw(std::string_view bytes_line) {
    if (file_ == nullptr) {
        return;
    }
    std::fwrite(bytes_line.data(), 1, bytes_line.size(), file_);
    std::fputs("\r\n", file_);
    std::fflush(file_);
}
