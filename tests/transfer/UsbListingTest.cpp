#include "transfer/UsbListing.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>

namespace fs = std::filesystem;

namespace {

// A file on the stick written the given number of minutes after a fixed moment.
void put(const TempRoot& stick, const std::string& relative, int minute) {
    stick.write_bytes(relative, "x");
    fs::last_write_time(stick.path() / relative,
                        fs::file_time_type(std::chrono::seconds(1'700'000'000)) + std::chrono::minutes(minute));
}

std::vector<std::string> texts(const std::vector<ListedFile>& files) {
    std::vector<std::string> out;
    out.reserve(files.size());
    for (const auto& f : files) {
        out.push_back(f.text);
    }
    return out;
}

TEST(UsbListing, OrderOfDirNewestFirstThenFoldersByName) {
    TempRoot stick;
    put(stick, "E99_member.csv", 1);
    put(stick, "e99_NEW.CSV", 5);
    put(stick, "E99_same_b.csv", 3);
    put(stick, "E99_same_a.csv", 3);
    put(stick, "notes.txt", 9);
    put(stick, "E99_member.csv.bak", 9);
    put(stick, "X99_member.csv", 9);
    put(stick, "Old/E99_old.csv", 0);
    put(stick, "archive/x/E99_x.csv", 0);
    put(stick, "archive/E99_a.csv", 0);
    put(stick, "Zeta/E99_z.csv", 0);
    fs::create_directories(stick.path() / "E99_folder.csv");
    put(stick, "E99_folder.csv/e99_in.csv", 0);
    fs::create_directory_symlink(stick.path(), stick.path() / "loop"); // would list everything again
    const std::vector<std::string> want{
        "E:\\e99_NEW.CSV",
        "E:\\E99_same_a.csv",
        "E:\\E99_same_b.csv",
        "E:\\E99_member.csv",
        "E:\\archive\\E99_a.csv",
        "E:\\archive\\x\\E99_x.csv",
        "E:\\E99_folder.csv\\e99_in.csv",
        "E:\\Old\\E99_old.csv",
        "E:\\Zeta\\E99_z.csv",
    };
    const auto files = list_member_files(Drive{"E", stick.path(), 1});
    EXPECT_EQ(texts(files), want);
    ASSERT_EQ(files.size(), want.size());
    EXPECT_EQ(files[5].path, stick.path() / "archive/x/E99_x.csv");

    const auto mounted = list_member_files(Drive{"/media/op/MY STICK", stick.path(), 1});
    ASSERT_EQ(mounted.size(), want.size());
    EXPECT_EQ(mounted[0].text, "/media/op/MY STICK/e99_NEW.CSV");
    EXPECT_EQ(mounted[5].text, "/media/op/MY STICK/archive/x/E99_x.csv");
}

TEST(UsbListing, EmptyOrGoneDriveListsNothing) {
    TempRoot stick;
    put(stick, "readme.txt", 0);
    EXPECT_TRUE(list_member_files(Drive{"E", stick.path(), 1}).empty());
    EXPECT_TRUE(list_member_files(Drive{"F", stick.path() / "pulled-out", 1}).empty());
}

TEST(UsbListing, MemberFileNames) {
    for (const char* yes : {"E99_member.csv", "e99_x.CSV", "E99_.csv", "E99_メンバー.Csv"}) {
        EXPECT_TRUE(is_member_file_name(yes)) << yes;
    }
    for (const char* no :
         {"E99member.csv", "E98_member.csv", "E99_member.cs", "E99_member.csv.txt", "xE99_a.csv", ".csv", ""}) {
        EXPECT_FALSE(is_member_file_name(no)) << no;
    }
}

TEST(UsbListing, ListedTextLeadsBackToTheFile) {
    const std::vector<Drive> drives{
        {"E", "/sim/e", 1}, {"/media/a", "/media/a", 1}, {"/media/a b", "/x/ab", 1}, {"/", "/", 2}};
    EXPECT_EQ(path_of_drive_text(drives, "E:\\sub\\E99_a.csv"), fs::path("/sim/e/sub/E99_a.csv"));
    EXPECT_EQ(path_of_drive_text(drives, "e:\\E99_a.csv"), fs::path("/sim/e/E99_a.csv"));
    EXPECT_EQ(path_of_drive_text(drives, "/media/a b/E99_a.csv"), fs::path("/x/ab/E99_a.csv"));
    EXPECT_EQ(path_of_drive_text(drives, "/media/a/E99_a.csv"), fs::path("/media/a/E99_a.csv"));
    EXPECT_EQ(path_of_drive_text(drives, "F:\\E99_a.csv"), fs::path("F:\\E99_a.csv"));
    EXPECT_EQ(drive_path_text(drives[3], {"E99_a.csv"}), "/E99_a.csv");
    EXPECT_EQ(drive_path_text(drives[0], {}), "E:");
}

} // namespace
