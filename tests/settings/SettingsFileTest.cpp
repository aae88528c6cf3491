#include "settings/SettingsFile.h"

#include "app/recorder/StoreLists.h"
#include "core/Cp932.h"

#include "support/FakeServices.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"
#include "view/WindowModel.h"

#include <gtest/gtest.h>

namespace {

struct Settings : ::testing::Test {
    TempRoot root;
    TestRecorder t{root.path()};
    Recorder& rec = *t.rec;

    void write(std::initializer_list<std::string_view> lines) {
        root.write_bytes("zerbanto/action01.txt", cp932_lines(lines));
    }
    void read() { RecorderParts::lists(rec).load_settings(); }
    // Transfer times read from an earlier file, which the next read must not keep.
    void read_earlier_times() {
        write({"F転送= 4:44", "F転送= 5:55"});
        read();
        ASSERT_EQ(rec.lists().store().transfer_times[0], "4:44:00");
    }
};

} // namespace

TEST_F(Settings, FileWrittenByTheStoreSetupSetsEveryLabel) {
    write({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店", "F転送= 12:15", "F転送= 01:30"});
    read();
    EXPECT_EQ(rec.lists().store().company, "Corvale");
    EXPECT_EQ(rec.lists().store().store_code, "T01");
    EXPECT_EQ(rec.lists().store().store_name, "第一店");
    EXPECT_EQ(window_of(rec).lbl_tenmei.pt, 36);
    EXPECT_EQ(rec.lists().store().transfer_times[0], "12:15:00");
    EXPECT_EQ(rec.lists().store().transfer_times[1], "1:30:00");
    EXPECT_EQ(window_of(rec).lbl_tenso_stat[0].text, "12:15:00");
    EXPECT_EQ(window_of(rec).lbl_tenso_stat[1].text, "1:30:00");
    EXPECT_EQ(window_of(rec).lbl_type.text, "StandAlone");
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(Settings, TransferTimesTakeFreeSlotsFallBackAndSkipDates) {
    struct Case {
        std::vector<std::string> values;
        std::string slot0, slot1;
    };
    const std::vector<Case> cases{
        {{"12:15", "01:30", "18:00"}, "12:15:00", "1:30:00"}, // a third line is ignored
        {{"abc", "9:30"}, "3:00:00", "9:30:00"},              // not a time: the 3:00 fall-back
        {{"", "9:30"}, "3:00:00", "9:30:00"},                 // nothing after "=" either
        {{"2026/12/8", "9:30"}, "9:30:00", ""},               // a date without a time leaves the slot free
        {{"x=y=7:45"}, "7:45:00", ""},                        // the text after the last "="
        {{}, "", ""},
    };
    for (const auto& c : cases) {
        std::string text;
        for (const auto& v : c.values) {
            text += cp932::from_utf8("F転送= " + v) + "\r\n";
        }
        read_earlier_times();
        root.write_bytes("zerbanto/action01.txt", text);
        read();
        EXPECT_EQ(rec.lists().store().transfer_times[0], c.slot0) << testing::PrintToString(c.values);
        EXPECT_EQ(rec.lists().store().transfer_times[1], c.slot1) << testing::PrintToString(c.values);
        EXPECT_EQ(window_of(rec).lbl_tenso_stat[0].text, c.slot0);
    }
}

TEST_F(Settings, RecordsKeysAndValuesFollowSequentialInput) {
    write({"店舗CD=T04", "店舗名 = 第二店,別館", " 会社名 =  Acme  ", "店 舗名 = 無視", "f転送= 10:00", "店舗CD",
           "\"店舗名 = 引用, 符\""});
    read();
    EXPECT_EQ(rec.lists().store().store_code, "店舗CD"); // a record without "=" is its own value
    EXPECT_EQ(rec.lists().store().store_name, "引用, 符");
    EXPECT_EQ(rec.lists().store().company, "Acme");
    EXPECT_EQ(rec.lists().store().transfer_times[0], ""); // "f転送" is not a key
}

TEST_F(Settings, StoreNameFontDependsOnLength) {
    write({"店舗名 = 一二三四五六七八"});
    read();
    EXPECT_EQ(window_of(rec).lbl_tenmei.pt, 28);
    write({"店舗名 = 一二三四五六七"});
    read();
    EXPECT_EQ(window_of(rec).lbl_tenmei.pt, 36);
}

TEST_F(Settings, OddBytesAndLineEndsNeverCrashAndKeepWhatTheyCannotSet) {
    root.write_bytes("zerbanto/action01.txt",
                     "\xFF\xFE\x81\r\x89\xEF\x8E\xD0\x96\xBC= OK\r\x93\x58\x95\xDC\x43\x44=\x82");
    read();
    EXPECT_EQ(rec.lists().store().company, "OK"); // CR-only line ends
    EXPECT_EQ(rec.lists().store().store_code, "\xEF\xBF\xBD");
    root.write_bytes("zerbanto/action01.txt", std::string("\x89\xEF\x8E\xD0\x96\xBC=\tTab\n\0\0", 14));
    read();
    EXPECT_EQ(rec.lists().store().company, "\tTab");
    EXPECT_TRUE(t.ui.messages.empty());
    // A line too long to be a setting (here a store name hidden at the end of 2 MB of commas, which read whole
    // would make a million records) is passed over; the lines around it still count.
    root.write_bytes("zerbanto/action01.txt",
                     cp932_lines({"会社名= A", std::string(2 << 20, ',') + "店舗名= 長い", "店舗C= T07"}));
    read();
    EXPECT_EQ(rec.lists().store().company, "A");
    EXPECT_EQ(rec.lists().store().store_code, "T07");
    EXPECT_NE(rec.lists().store().store_name, "長い");
}

TEST_F(Settings, MissingFileStandAloneKeepsTheDesignTextsSilently) {
    read_earlier_times();
    std::filesystem::remove(root.zerbanto() / "action01.txt");
    read();
    EXPECT_EQ(rec.lists().store().store_code, "T99");
    EXPECT_EQ(rec.lists().store().store_name, "本店");
    EXPECT_EQ(rec.lists().store().transfer_times[0], "");
    EXPECT_EQ(window_of(rec).lbl_tenso_stat[1].text, "");
    EXPECT_EQ(t.ui.store_setup_shown, 0);
    EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(Settings, AFolderInPlaceOfTheFileEndsTheProgramWithItsMessage) {
    std::filesystem::create_directories(root.zerbanto() / "action01.txt");
    EXPECT_THROW(read(), ProgramEnd);
    ASSERT_EQ(t.ui.messages.size(), 1U);
    EXPECT_EQ(t.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(t.ui.messages[0].text, "想定外エラー get_actionmap err = 75");
}

TEST(SettingsConnected, MissingFileBringsUpTheStoreSetupUntilAFileIsWritten) {
    TempRoot root;
    Options o;
    o.server = parse_server_setting("ftp.example.invalid", 21);
    TestRecorder t(root.path(), DateTime{2026, 12, 8, 9, 0, 0}, o);
    int shown = 0;
    t.ui.on_store_setup = [&](StoreSetup& s) {
        if (++shown < 3) {
            s.close_box(); // closed twice without a choice
        } else {
            s.UF_mise.text = "研修センター";
            s.set_click();
        }
    };
    RecorderParts::lists(*t.rec).load_settings();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(t.rec->lists().store().store_code, "T99");
    EXPECT_EQ(t.rec->lists().store().store_name, "研修センター");
    EXPECT_EQ(t.rec->lists().store().transfer_times[1], "1:30:00");
    EXPECT_EQ(window_of(*t.rec).lbl_type.text, "ftp.example.invalid");
}
