#include "app/recorder/StoreLists.h"

#include "core/TextFile.h"
#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace fs = std::filesystem;

TEST(MemberListDownload, ReplacesTheListWithTheServersCopyAndKeepsTheCopy) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    const std::string fresh = cp932_lines({"99999,2016/12/08", "101,山田 花子,012E4C1B3A5F6D7E"});
    std::ofstream(server.sub() / "E99_member.csv", std::ios::binary) << fresh;
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,old,AA"}));
    root.write_bytes("zerbanto/xE99_member.csv", "stale download");
    TestRecorder rig(root.path(), {}, ftp_options(server.port()));

    const mode_t saved = ::umask(0);
    RecorderParts::lists(*rig.rec).refresh_member_list_or_end();
    ::umask(saved);

    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), fresh);
    EXPECT_EQ(root.read_bytes("zerbanto/xE99_member.csv"), fresh);
    // Names and card IDs: both files are their owner's only, whatever the umask.
    for (const char* name : {"zerbanto/E99_member.csv", "zerbanto/xE99_member.csv"}) {
        EXPECT_EQ(std::filesystem::status(root.path() / name).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << name;
    }
}

// A server that announces no size and sends the list cut short, reporting success: the list ends half-way
// through a member's line.
FtpTestServer::Setup cut_short_without_size() {
    FtpTestServer::Setup s;
    s.no_size = true;
    s.cut_retr = 13;
    return s;
}

// Without a fresh copy the list on disk is used after a message; without either the program ends. A stale
// download copy is never taken for a fresh list, nor a copy cut short, nor a list without a member line.
TEST(MemberListDownload, WithoutAFreshCopyUsesTheOldListOrEnds) {
    const std::string two_members = cp932_lines({"101,山田 花子,012E4C1B3A5F6D7E", "102,佐藤,0101AB"});
    const std::string no_member = cp932_lines({"99999,2016/12/08", ""});
    struct Case {
        const char* name;
        bool server_up; // up, but without the list (or sending it cut short, or without a member)
        bool list_on_disk;
        FtpTestServer::Setup setup;
        std::string served;
    };
    for (const auto& c : std::initializer_list<Case>{
             {"server down, list on disk", false, true, {}, ""},
             {"list missing on the server, list on disk", true, true, {}, ""},
             {"server down, no list", false, false, {}, ""},
             {"list cut short without a size, list on disk", true, true, cut_short_without_size(), two_members},
             {"list cut short without a size, no list", true, false, cut_short_without_size(), two_members},
             {"no member line, list on disk", true, true, {}, no_member},
             {"no member line, no list", true, false, {}, no_member},
         }) {
        SCOPED_TRACE(c.name);
        FtpTestServer server(c.setup);
        if (!c.served.empty()) {
            std::ofstream(server.sub() / "E99_member.csv", std::ios::binary) << c.served;
        }
        int port = server.port();
        if (!c.server_up) {
            server.stop();
            port = unused_port();
        }
        TempRoot root;
        const std::string old = cp932_lines({"1,old,AA"});
        if (c.list_on_disk) {
            root.write_bytes("zerbanto/E99_member.csv", old);
        }
        root.write_bytes("zerbanto/xE99_member.csv", "stale download");
        TestRecorder rig(root.path(), {}, ftp_options(port));

        if (c.list_on_disk) {
            RecorderParts::lists(*rig.rec).refresh_member_list_or_end();
            ASSERT_EQ(rig.ui.messages.size(), 1U);
            EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::Information);
            EXPECT_EQ(rig.ui.messages[0].text, "通信ができない為、前回のメンバーリストを使用します。");
            EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), old);
        } else {
            EXPECT_THROW(RecorderParts::lists(*rig.rec).refresh_member_list_or_end(), ProgramEnd);
            ASSERT_EQ(rig.ui.messages.size(), 1U);
            EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::Critical);
            EXPECT_EQ(rig.ui.messages[0].text, "c:\\zerbanto\\E99_member.csv\r\nメンバーリストが取得できません");
            EXPECT_FALSE(fs::exists(root.zerbanto() / "E99_member.csv"));
        }
        EXPECT_FALSE(fs::exists(root.zerbanto() / "xE99_member.csv"));
    }
}

// Whether a list announced without a size is complete is told by its last line end; one announced with a
// size is taken as sent, its last line end or not. A list that arrives but cannot be put in place says so.
TEST(MemberListDownload, ACompleteListWithoutASizeIsTakenAndOneThatCannotBePutInPlaceSaysSo) {
    FtpTestServer::Setup no_size;
    no_size.no_size = true;
    struct Case {
        const char* name;
        FtpTestServer::Setup setup;
        std::string list;
    };
    for (const auto& c : std::initializer_list<Case>{{"no size, ends with a line end", no_size, "1,a,AA\r\n"},
                                                     {"size announced, no final line end", {}, "1,a,AA\r\n2,b,BB"}}) {
        SCOPED_TRACE(c.name);
        FtpTestServer server(c.setup);
        std::ofstream(server.sub() / "E99_member.csv", std::ios::binary) << c.list;
        TempRoot root;
        root.write_bytes("zerbanto/E99_member.csv", "1,old,AA\r\n");
        TestRecorder rig(root.path(), {}, ftp_options(server.port()));
        RecorderParts::lists(*rig.rec).refresh_member_list_or_end();
        EXPECT_TRUE(rig.ui.messages.empty());
        EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), c.list);
    }

    // In the way: a folder where the list should be; a folder under the name the new list is written to
    // before it replaces the earlier one, which then stays and is used.
    struct Unplaced {
        const char* name;
        fs::path folder;
        const char* old_list;
        const char* message;
    };
    for (const auto& c : std::initializer_list<Unplaced>{
             {"no earlier list", "E99_member.csv", nullptr,
              "c:\\zerbanto\\E99_member.csv\r\n受け取ったメンバーリストに置き換えられません。"},
             {"an earlier list", textfile::temporary_name("E99_member.csv"), "1,old,AA\r\n",
              "c:\\zerbanto\\E99_member."
              "csv\r\n受け取ったメンバーリストに置き換えられません。前回のメンバーリストを使用します。"}}) {
        SCOPED_TRACE(c.name);
        FtpTestServer server;
        std::ofstream(server.sub() / "E99_member.csv", std::ios::binary) << "1,a,AA\r\n";
        TempRoot root;
        fs::create_directories(root.zerbanto() / c.folder / "in the way");
        if (c.old_list != nullptr) {
            root.write_bytes("zerbanto/E99_member.csv", c.old_list);
        }
        TestRecorder rig(root.path(), {}, ftp_options(server.port()));
        RecorderParts::lists(*rig.rec).refresh_member_list_or_end();
        ASSERT_EQ(rig.ui.messages.size(), 1U);
        EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(rig.ui.messages[0].text, c.message);
        if (c.old_list != nullptr) {
            EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), c.old_list);
        }
    }
}
