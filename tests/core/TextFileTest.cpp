#include "core/TextFile.h"
#include "core/Cp932.h"
#include "core/RecordReader.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(Cp932, RoundTripsTheWindowsCharactersThatShiftJisLacks) {
    const std::string text = "髙橋①㈱～－\\ c:\\zerbanto\\ 山田　花子";
    const std::string bytes = cp932::from_utf8(text);
    EXPECT_EQ(cp932::to_utf8(bytes), text);
    EXPECT_EQ(bytes.substr(0, 2), "\xFB\xFC");                  // 髙
    EXPECT_NE(bytes.find("\x81\x60"), std::string::npos);       // ～
    EXPECT_NE(bytes.find("c:\\zerbanto\\"), std::string::npos); // 0x5C stays a backslash
}

TEST(Cp932, BadBytesNeverFailAndUnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(cp932::to_utf8("A\x81"), "A\xEF\xBF\xBD"); // a lead byte at the end
    EXPECT_EQ(cp932::to_utf8("\xFF\xFF"
                             "B"),
              "\xEF\xBF\xBD\xEF\xBF\xBD"
              "B");
    EXPECT_EQ(cp932::from_utf8("a😀b"), "a?b");
    EXPECT_EQ(cp932::from_utf8("\xC3"), "?"); // a torn UTF-8 sequence
    EXPECT_EQ(utf8_length("山田 花子"), 5U);
}

TEST(TextFile, SplitsOnEveryKindOfLineEnd) {
    EXPECT_EQ(textfile::split_lines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(textfile::split_lines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(textfile::split_lines("").empty());
}

TEST(TextFile, ReadsWritesAndReportsMissingFilesAndFolders) {
    TempRoot root;
    const auto file = root.zerbanto() / "x.csv";
    ASSERT_TRUE(textfile::write_lines_atomic(file, {"会社名= Corvale", "", "99999,2026/12/1"}));
    EXPECT_EQ(root.read_bytes("zerbanto/x.csv"), "\x89\xEF\x8E\xD0\x96\xBC= Corvale\r\n\r\n99999,2026/12/1\r\n");
    const auto lines = textfile::read_lines(file);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"会社名= Corvale", "", "99999,2026/12/1"}));
    EXPECT_EQ(textfile::read_lines(root.zerbanto() / "none.csv").error(), ErrorNumber::FileNotFound);
    EXPECT_EQ(textfile::read_lines(root.zerbanto()).error(), ErrorNumber::PathFileAccess);
    EXPECT_EQ(textfile::write_lines_atomic(root.path() / "no/such/dir/f.txt", {"x"}).error(),
              ErrorNumber::FileNotFound);
}

TEST(TextFile, LineReaderStreamsLinesAcrossBlockBoundaries) {
    TempRoot root;
    std::string bytes;
    std::vector<std::string> expected;
    // Lines of varying length so that CR LF pairs fall on every offset of the reader's blocks.
    for (int i = 0; i < 60'000; ++i) {
        std::string line = std::to_string(i) + std::string(static_cast<std::size_t>(i % 37), 'x') + "名";
        expected.push_back(line);
        bytes += cp932::from_utf8(line) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    bytes += "last";
    expected.emplace_back("last");
    root.write_bytes("zerbanto/big.csv", bytes);
    textfile::LineReader reader;
    ASSERT_TRUE(reader.open(root.zerbanto() / "big.csv"));
    std::vector<std::string> got;
    std::string line;
    while (reader.next(line)) {
        got.push_back(line);
    }
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(got, expected);
}

TEST(TextFile, LineReaderAgreesWithSplitLinesForEveryBlockSize) {
    TempRoot root;
    // Empty lines, a lead byte cut off by a line end, CR LF and a lone CR at the very end.
    const std::string bytes = "a\r\n\r\n\rb\n\n" + cp932::from_utf8("名前") + "\x82\r\nlong line here\r\r";
    root.write_bytes("zerbanto/edges.txt", bytes);
    const auto expected = textfile::split_lines(cp932::to_utf8(bytes));
    ASSERT_EQ(expected.size(), 8U);
    for (std::size_t block = 1; block <= bytes.size() + 1; ++block) {
        textfile::LineReader reader(block);
        ASSERT_TRUE(reader.open(root.zerbanto() / "edges.txt"));
        std::vector<std::string> got;
        std::string line;
        while (reader.next(line)) {
            got.push_back(line);
        }
        EXPECT_EQ(got, expected) << "block size " << block;
    }
}

TEST(RecordReader, ReadsRecordsAsSequentialInputDoes) {
    EXPECT_EQ(read_records("店舗名 = 第一店,本館\r\n  F転送= 12:15\r\n"),
              (std::vector<std::string>{"店舗名 = 第一店", "本館", "F転送= 12:15"}));
    EXPECT_EQ(read_records("\"a, b\" tail,c\n\n\t x"), (std::vector<std::string>{"a, b", "c", "", "x"}));
    EXPECT_EQ(read_records("\"open"), (std::vector<std::string>{"open"}));
    EXPECT_EQ(read_records("　全角,\"\""), (std::vector<std::string>{"　全角", ""}));
}

namespace {
std::filesystem::perms mode_of(const std::filesystem::path& p) {
    return std::filesystem::symlink_status(p).permissions() & std::filesystem::perms::all;
}
} // namespace

// A replacement is written beside the file and renamed over it: a process that holds the old file (a
// reader, another link to it) still sees it whole, and the new file has the mode asked for, whatever the
// umask, while a copy without a mode (a file on a stick) gets the usual one.
TEST(TextFile, ReplacementsGoBesideTheFileAndGetTheModeAskedFor) {
    namespace fs = std::filesystem;
    TempRoot root;
    const auto file = root.zerbanto() / "E99_member.csv";
    root.write_bytes("zerbanto/E99_member.csv", "old\r\n");
    root.write_bytes("from.csv", "new\r\n");
    fs::create_hard_link(file, root.path() / "held.csv");
    const mode_t saved = ::umask(0);
    ASSERT_TRUE(textfile::copy_file_atomic(root.path() / "from.csv", file));
    EXPECT_EQ(mode_of(file), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(textfile::write_lines_atomic(root.zerbanto() / "action01.txt", {"a"}));
    EXPECT_EQ(mode_of(root.zerbanto() / "action01.txt"), fs::perms::owner_read | fs::perms::owner_write);
    ::umask(022);
    const int from = ::open((root.path() / "from.csv").c_str(), O_RDONLY);
    const int dir = ::open(root.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_TRUE(textfile::copy_fd_atomic(from, dir, "stick.csv", std::nullopt));
    ::close(from);
    ::close(dir);
    ::umask(saved);
    EXPECT_EQ(mode_of(root.path() / "stick.csv"), fs::perms(0644));
    EXPECT_EQ(root.read_bytes("held.csv"), "old\r\n");
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), "new\r\n");
    EXPECT_EQ(root.read_bytes("stick.csv"), "new\r\n");
}

// Only names of the recorder's own temporary form are taken for half-written copies (the start removes them).
TEST(TextFile, TemporaryNamesAreTheRecordersOwnOnly) {
    EXPECT_TRUE(textfile::is_temporary_name(textfile::temporary_name("K01_261208_2305.CSV")));
    for (const char* name : {"K01.CSV.tmp", "K01.CSV.tmp12x", "K01.CSV", "K01.tmp.CSV", "tmp123"}) {
        EXPECT_FALSE(textfile::is_temporary_name(name)) << name;
    }
}
