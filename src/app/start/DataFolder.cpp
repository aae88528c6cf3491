#include "app/start/DataFolder.h"

#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/SystemErrorText.h"
#include "core/TextFile.h"

#include <cerrno>
#include <cstdlib>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Whether a file can be made in the folder: the log, the copies and the settings all need it. Why not when not.
std::error_code cannot_write(const fs::path& folder) {
    std::string probe = (folder / ".write-test-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return {errno, std::generic_category()};
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

// The recorder's own folders are never reached through a symbolic link: whoever can write the root could
// point one at a folder of theirs (and receive the stamps) or at another user's (which would become private
// and have its files removed or uploaded). The root itself may be a link: the user named it.
std::string link_refusal(const fs::path& system, const fs::path& outbox) {
    std::error_code ec;
    if (fs::is_symlink(system, ec)) {
        return "データのフォルダーがシンボリックリンクです。リンクではないフォルダーにしてください。\n" +
               system.string();
    }
    if (fs::is_symlink(outbox, ec)) {
        return "送信用のフォルダーがシンボリックリンクです。リンクではないフォルダーにしてください。\n" +
               outbox.string();
    }
    return {};
}

// Why the folder cannot hold the recorder's files; empty when it can.
std::string folder_refusal(const Options& options, const fs::path& system, const fs::path& outbox) {
    std::error_code ec;
    if (options.root_given && !fs::is_directory(options.root, ec)) {
        return "データのフォルダーがありません。\n" + options.root.string();
    }
    if (std::string linked = link_refusal(system, outbox); !linked.empty()) {
        return linked;
    }
    // A folder that is there but cannot be made private (a read-only disk, another user's folder) is not one
    // that could not be made.
    const bool existed = fs::is_directory(fs::symlink_status(system, ec));
    if (const auto made = make_private_folder(system)) {
        return (existed ? "データのフォルダーに書き込みできません。\n" : "データのフォルダーを作成できません。\n") +
               system.string() + "\n" + system_error_text(made);
    }
    if (fs::exists(fs::symlink_status(outbox, ec))) {
        (void)make_private_folder(outbox);
    }
    if (const auto unwritable = cannot_write(system)) {
        return "データのフォルダーに書き込みできません。\n" + system.string() + "\n" + system_error_text(unwritable);
    }
    return {};
}

} // namespace

DataFolder take_data_folder(const Options& options, SingleInstance& instance, std::uintmax_t min_free) {
    // Each folder is looked up once: a name in another case costs a scan of the root.
    const Paths paths(options.root);
    const fs::path system = paths.zerbanto();
    const fs::path outbox = paths.cortmp();
    if (std::string refused = folder_refusal(options, system, outbox); !refused.empty()) {
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
    textfile::remove_temporaries(system);
    textfile::remove_temporaries(outbox);
    return {DataFolder::Outcome::Taken, low_space_warning(system, min_free)};
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

void tell_data_folder(UserInterface& ui, const DataFolder& taken) {
    switch (taken.outcome) {
    case DataFolder::Outcome::Refused:
        ui.message(MessageIcon::Critical, MessageButtons::Ok, taken.message);
        return;
    case DataFolder::Outcome::Running:
        ui.message(MessageIcon::Information, MessageButtons::Ok, already_running_message);
        return;
    case DataFolder::Outcome::Taken:
        if (!taken.message.empty()) {
            ui.message(MessageIcon::Exclamation, MessageButtons::Ok, taken.message);
        }
    }
}
