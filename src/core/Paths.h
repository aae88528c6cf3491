#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Where the recorder keeps its files. The root folder stands for drive C:, so c:\zerbanto\ is
// root/zerbanto and c:\cortmp\ is root/cortmp. Names are found without regard to case, as on the
// platform the files come from: KLOG_T01.CSV and KLOG_T01.csv are one file.
class Paths {
public:
    explicit Paths(std::filesystem::path root);

    // The running user's home: $HOME when it is an absolute path, else the password database's; nullopt when
    // there is none. Never a folder every user may write in its place.
    [[nodiscard]] static std::optional<std::filesystem::path> home();
    // $XDG_DATA_HOME/timerecorder, or ~/.local/share/timerecorder. The home is $HOME, or the password
    // database's when HOME is unset, empty or relative; nullopt when there is none.
    [[nodiscard]] static std::optional<std::filesystem::path> default_root();
    // $XDG_DATA_HOME/timerecorder-demo, or ~/.local/share/timerecorder-demo: the demo's own folder, so that
    // trying the recorder never touches a store's files.
    [[nodiscard]] static std::optional<std::filesystem::path> default_demo_root();

    [[nodiscard]] const std::filesystem::path& root() const { return root_; }
    [[nodiscard]] std::filesystem::path zerbanto() const; // the system folder
    [[nodiscard]] std::filesystem::path cortmp() const;   // the upload outbox
    // A file in the system folder: the existing file whose name matches without regard to case, or the
    // name as given when there is none.
    [[nodiscard]] std::filesystem::path file(std::string_view name) const;

    [[nodiscard]] std::filesystem::path settings_file() const { return file("action01.txt"); }
    [[nodiscard]] std::filesystem::path member_list() const { return file("E99_member.csv"); }
    [[nodiscard]] std::filesystem::path member_download() const { return file("xE99_member.csv"); }
    [[nodiscard]] std::filesystem::path attendance_log(std::string_view store_code) const;

private:
    std::filesystem::path root_;
};

// The entry of dir whose name equals name without regard to ASCII case, or dir / name when there is none.
// The result always lies directly in dir: "/" and NUL in name are taken as "_".
[[nodiscard]] std::filesystem::path resolve_case_insensitive(const std::filesystem::path& dir, std::string_view name);
