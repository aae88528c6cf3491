#include "core/SystemErrorText.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

// The reasons a shop meets read in Japanese, whether the code comes as errno or as the system's own code;
// others keep the system's text.
TEST(SystemErrorText, CommonReasonsInJapaneseOthersAsTheSystemSays) {
    EXPECT_EQ(system_error_text(std::error_code(EACCES, std::generic_category())), "アクセスが許可されていません");
    EXPECT_EQ(system_error_text(std::error_code(ENOSPC, std::system_category())), "ディスクの空き容量がありません");
    EXPECT_EQ(system_error_text(std::make_error_code(std::errc::read_only_file_system)), "書き込みが禁止されています");
    EXPECT_EQ(system_error_text(std::error_code(EIO, std::system_category())), "読み書きに失敗しました");
    const std::error_code unlisted(EPIPE, std::system_category());
    EXPECT_EQ(system_error_text(unlisted), unlisted.message());

    // As a folder that cannot be made reports it: a file stands where a folder of the path should be.
    TempRoot root;
    root.write_bytes("stick", "a file, not a folder");
    std::error_code ec;
    std::filesystem::create_directories(root.path() / "stick" / "Zerbanto", ec);
    EXPECT_EQ(system_error_text(ec), "フォルダーではないものがパスの途中にあります") << ec.message();
}
