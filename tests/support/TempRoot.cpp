#include "support/TempRoot.h"

#include "core/Cp932.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

TempRoot::TempRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trtest-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    path_ = pattern;
    std::filesystem::create_directories(zerbanto());
}

TempRoot::~TempRoot() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void TempRoot::write_bytes(const std::filesystem::path& relative, std::string_view bytes) const {
    const auto p = path_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string TempRoot::read_bytes(const std::filesystem::path& relative) const {
    return file_bytes(path_ / relative);
}

std::string file_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string cp932_lines(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto line : lines) {
        out += cp932::from_utf8(line);
        out += "\r\n";
    }
    return out;
}
