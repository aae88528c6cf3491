#include "lists/MemberList.h"

#include "app/recorder/Recorder.h"
#include "support/FakeServices.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"
#include "view/WindowModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::filesystem::path list_of(const TempRoot& root, const std::string& bytes) {
    root.write_bytes("zerbanto/E99_member.csv", bytes);
    return root.zerbanto() / "E99_member.csv";
}

std::string code_of(const MemberTable& t, int i) {
    return t.is_end(i) ? "<end>" : *t.slot(i).code;
}

TEST(MemberList, LoadsMembersDateLinesAndShortLines) {
    TempRoot root;
    MemberTable table;
    std::string date = "old";
    const auto path =
        list_of(root, cp932_lines({"99999,2026/12/01", "123,山田 花子,012E4C1B3A5F6D7E,extra", " 7,空白付き,AA", "",
                                   "8,名前だけ", "9", "99999", "99999,2026/12/07,x", "10,髙橋 ①,BB"}));
    ASSERT_TRUE(load_member_list(path, table, date));
    EXPECT_EQ(date, "2026/12/07"); // the last date line wins; one without a date changes nothing
    EXPECT_EQ(table.end_index(), 5);
    EXPECT_EQ(code_of(table, 0), "123");
    EXPECT_EQ(table.slot(0).name, "山田 花子");
    EXPECT_EQ(table.slot(0).idm, "012E4C1B3A5F6D7E");
    EXPECT_EQ(code_of(table, 1), " 7"); // kept with its blank
    EXPECT_EQ(code_of(table, 2), "8");  // the empty line took no slot
    EXPECT_EQ(table.slot(2).name, "名前だけ");
    EXPECT_EQ(table.slot(2).idm, "");
    EXPECT_EQ(code_of(table, 3), "9");
    EXPECT_EQ(table.slot(3).name, "");
    EXPECT_EQ(table.slot(4).name, "髙橋 ①"); // Windows characters of code page 932
    EXPECT_EQ(table.find_idm("BB"), 4);
    EXPECT_EQ(table.find_idm("AA"), 1);
}

TEST(MemberList, DateLineOnlyGivesAnEmptyTable) {
    TempRoot root;
    MemberTable table;
    std::string date;
    ASSERT_TRUE(load_member_list(list_of(root, cp932_lines({"99999,20261201"})), table, date));
    EXPECT_EQ(date, "20261201");
    EXPECT_TRUE(table.is_end(0));
}

TEST(MemberList, ACodeOfZeroTextIsAMember) {
    TempRoot root;
    MemberTable table;
    std::string date;
    ASSERT_TRUE(load_member_list(list_of(root, cp932_lines({"0,ゼロ,Z0", "1,一,Z1"})), table, date));
    EXPECT_EQ(table.end_index(), 2);
}

// Reloads: a shorter list after a longer one ends where the new list ends, also beyond slot 1000.
TEST(MemberList, ReloadEndsTheTableAfterTheNewList) {
    TempRoot root;
    MemberTable table;
    std::string date;
    auto many = [](int n) {
        std::string bytes;
        for (int i = 0; i < n; ++i) {
            bytes += std::to_string(1000 + i) + ",m" + std::to_string(i) + ",ID" + std::to_string(i) + "\r\n";
        }
        return bytes;
    };
    ASSERT_TRUE(load_member_list(list_of(root, many(8)), table, date));
    ASSERT_TRUE(load_member_list(list_of(root, many(5)), table, date));
    EXPECT_EQ(table.end_index(), 5);
    for (int i = 5; i < 8; ++i) {
        EXPECT_TRUE(table.is_end(i));
        EXPECT_EQ(table.slot(i).name, "");
    }

    ASSERT_TRUE(load_member_list(list_of(root, many(3000)), table, date));
    EXPECT_EQ(table.end_index(), 3000);
    ASSERT_TRUE(load_member_list(list_of(root, many(1500)), table, date));
    EXPECT_EQ(table.end_index(), 1500);
    EXPECT_FALSE(table.find_idm("ID2000").has_value());
    table.slot(1500) = {std::string("9999"), "臨時", "TMP"}; // what the keypad appends at the end
    EXPECT_EQ(table.end_index(), 1501);                      // nothing of the long list comes back
}

TEST(MemberList, LinesBeyondTheLastSlotAreDroppedButDateLinesStillRead) {
    TempRoot root;
    MemberTable table;
    std::string date;
    std::string bytes;
    for (int i = 0; i < MemberTable::slot_count + 5; ++i) {
        bytes += std::to_string(i) + ",m,ID" + std::to_string(i) + "\r\n";
    }
    bytes += "99999,last\r\n";
    ASSERT_TRUE(load_member_list(list_of(root, bytes), table, date));
    EXPECT_EQ(table.end_index(), MemberTable::slot_count);
    EXPECT_EQ(code_of(table, 10000), "10000");
    EXPECT_EQ(date, "last");
}

TEST(MemberList, MissingListEndsTheProgramWithTheMessage) {
    TempRoot root;
    std::filesystem::create_directories(root.zerbanto());
    TestRecorder t(root.path());
    t.rec->start();
    ASSERT_EQ(t.ui.messages.size(), 1U);
    EXPECT_EQ(t.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(t.ui.messages[0].text, "従業員リスト\nC:\\Zerbanto\\E99_member.csv が見当たりません");
    EXPECT_TRUE(t.rec->ended());
    EXPECT_FALSE(t.rec->card().log_open());
    EXPECT_FALSE(t.rec->polling());
}

TEST(MemberList, UnreadableListIsSkippedWithoutAMessage) {
    TempRoot root;
    std::filesystem::create_directories(root.zerbanto() / "E99_member.csv"); // a folder, not a file
    TestRecorder t(root.path());
    RecorderParts::lists(*t.rec).members().slot(0) = {std::string("1"), "前回", "OLD"};
    t.rec->start();
    EXPECT_TRUE(t.ui.messages.empty());
    EXPECT_FALSE(t.rec->ended());
    EXPECT_TRUE(t.rec->lists().members().is_end(0));
    EXPECT_TRUE(t.rec->polling()); // start-up went on
}

TEST(MemberList, StartUpLoadsTheListInStandAloneMode) {
    TempRoot root;
    root.write_bytes("zerbanto/e99_MEMBER.CSV", cp932_lines({"99999,12/01", "5,佐藤,ID5"})); // any case
    TestRecorder t(root.path());
    t.rec->start();
    EXPECT_EQ(window_of(*t.rec).lbl_member_date.text, "12/01");
    EXPECT_EQ(t.rec->lists().members().find_idm("ID5"), 0);
}

} // namespace
