#include "app/DataFolder.h"

#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/SystemErrorText.h"
#include "core/TextFile.h"

#include <cstdlib>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Whether a file can be made in the folder: the log, the copies and the settings all need it.
bool writable(const fs::path& folder) {
    std::string probe = (folder / ".write-test-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// Why the folder cannot hold the recorder's files; empty when it can.
std::string folder_refusal(const Options& options, const Paths& paths) {
    std::error_code ec;
    if (options.root_given && !fs::is_directory(options.root, ec)) {
        return "データのフォルダーがありません。\n" + options.root.string();
    }
    if (const auto made = make_private_folder(paths.zerbanto())) {
        return "データのフォルダーを作成できません。\n" + paths.zerbanto().string() + "\n" + system_error_text(made);
    }
    if (fs::exists(paths.cortmp(), ec)) {
        (void)make_private_folder(paths.cortmp());
    }
    if (!writable(paths.zerbanto())) {
        return "データのフォルダーに書き込みできません。\n" + paths.zerbanto().string();
    }
    return {};
}

} // namespace

DataFolder take_data_folder(const Options& options, SingleInstance& instance, std::uintmax_t min_free) {
    const Paths paths(options.root);
    if (std::string refused = folder_refusal(options, paths); !refused.empty()) {
        return {DataFolder::Outcome::Refused, std::move(refused)};
    }
    switch (instance.acquire()) {
    case SingleInstance::Acquired::Running:
        return {DataFolder::Outcome::Running, {}};
    case SingleInstance::Acquired::NoLock:
        return {DataFolder::Outcome::Refused, "ロックファイルを作成できません。\n" + instance.lock_path().string()};
    case SingleInstance::Acquired::First:
        break;
    }
    // Copies cut short by a killed recorder are incomplete: the outbox must never send one.
    textfile::remove_temporaries(paths.zerbanto());
    textfile::remove_temporaries(paths.cortmp());
    return {DataFolder::Outcome::Taken, low_space_warning(paths.zerbanto(), min_free)};
}

std::string low_space_warning(const fs::path& folder, std::uintmax_t min_free) {
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0) {
        return {};
    }
    const std::uintmax_t free_bytes = std::uintmax_t{st.f_bavail} * st.f_frsize;
    if (free_bytes >= min_free) {
        return {};
    }
    return "ディスクの空きが少なくなっています (残り " + std::to_string(free_bytes >> 20) + " MB)。\n" +
           folder.string();
}
