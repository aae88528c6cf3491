#include "core/Cp932.h"
#include "core/TextFile.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::vector<std::string> raw_lines(const std::filesystem::path& path,
                                   std::size_t block = textfile::LineReader::default_block) {
    textfile::LineReader reader(block);
    EXPECT_TRUE(reader.open(path));
    std::vector<std::string> out;
    std::string_view line;
    while (reader.next_raw(line)) {
        out.emplace_back(line);
    }
    return out;
}

TEST(LineReaderRaw, GivesTheBytesOfEachLineAsSplitLinesCutsThem) {
    TempRoot root;
    const std::string name = cp932::from_utf8("名");
    const std::vector<std::string> files{"a\r\n\r\nb\rc\n\r", "", "\r\n", "x", name + "\r" + name};
    for (const auto& bytes : files) {
        root.write_bytes("f.csv", bytes);
        std::vector<std::string> expected;
        for (const auto& l : textfile::split_lines(bytes)) {
            expected.push_back(l);
        }
        EXPECT_EQ(raw_lines(root.path() / "f.csv"), expected) << bytes;
    }
    // A CR LF split by the block size, and a CR as the very last byte of a block and of the file.
    constexpr std::size_t block = 4096;
    std::string big(block, 'y');
    big[block - 1] = '\r';
    big += "\nz\r";
    root.write_bytes("g.csv", big);
    const auto lines = raw_lines(root.path() / "g.csv", block);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].size(), block - 1);
    EXPECT_EQ(lines[1], "z");
}

// A line of up to max_line bytes comes whole; a longer one comes as an empty line and the lines after it are
// untouched, whether the long line lies within one block or runs over many, and whatever ends it.
TEST(LineReaderRaw, ALineOverTheBoundComesEmptyAndTheNextLinesWhole) {
    TempRoot root;
    constexpr std::size_t max = textfile::LineReader::max_line;
    const std::string longest(max, ',');
    const std::string too_long(max + 1, ',');
    const std::string huge(5 * max, ',');
    root.write_bytes("f.csv", longest + "\r\n" + too_long + "\r\na\r" + huge + "\nb\r\n" + too_long + "\r");
    const std::vector<std::string> expected{longest, "", "a", "", "b", ""};
    for (const std::size_t block : {std::size_t{1000}, max - 1, max, textfile::LineReader::default_block}) {
        EXPECT_EQ(raw_lines(root.path() / "f.csv", block), expected) << block;
    }
    root.write_bytes("g.csv", "x\n" + too_long); // the last line, without a line end
    EXPECT_EQ(raw_lines(root.path() / "g.csv", 1000), (std::vector<std::string>{"x", ""}));
}

// A small file gets a small buffer: lines written after the file was opened (the log grows while it is
// read) still come whole, also one longer than the buffer.
TEST(LineReaderRaw, ReadsWhatASmallFileGainsAfterItWasOpened) {
    TempRoot root;
    root.write_bytes("small.csv", "a,1\r\n");
    textfile::LineReader reader;
    ASSERT_TRUE(reader.open(root.path() / "small.csv"));
    const std::string long_line(10'000, 'x');
    {
        std::ofstream out(root.path() / "small.csv", std::ios::binary | std::ios::app);
        out << "b,2\r\n" << long_line << "\r\nc,3";
    }
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next_raw(line)) {
        lines.emplace_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"a,1", "b,2", long_line, "c,3"}));
}

} // namespace
