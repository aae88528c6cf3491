#include "app/MemberListLoad.h"

#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
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
    refresh_member_list_or_end(rig.rec->state());
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
    EXPECT_FALSE(rig.rec->ended());
}

// Without a fresh copy the list on disk is used after a message; without either the program ends. A stale
// download copy is never taken for a fresh list.
TEST(MemberListDownload, WithoutAFreshCopyUsesTheOldListOrEnds) {
    struct Case {
        const char* name;
        bool server_up; // up, but without the list
        bool list_on_disk;
    };
    for (const auto& c : std::initializer_list<Case>{
             {"server down, list on disk", false, true},
             {"list missing on the server, list on disk", true, true},
             {"server down, no list", false, false},
         }) {
        SCOPED_TRACE(c.name);
        FtpTestServer server;
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
            refresh_member_list_or_end(rig.rec->state());
            ASSERT_EQ(rig.ui.messages.size(), 1U);
            EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::Information);
            EXPECT_EQ(rig.ui.messages[0].text, "通信ができない為、前回のメンバーリストを使用します。");
            EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), old);
            EXPECT_FALSE(rig.rec->ended());
        } else {
            EXPECT_THROW(refresh_member_list_or_end(rig.rec->state()), ProgramEnd);
            ASSERT_EQ(rig.ui.messages.size(), 1U);
            EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::Critical);
            EXPECT_EQ(rig.ui.messages[0].text, "c:\\zerbanto\\E99_member.csv\r\nメンバーリストが取得できません");
            EXPECT_TRUE(rig.rec->ended());
            EXPECT_FALSE(fs::exists(root.zerbanto() / "E99_member.csv"));
        }
        EXPECT_FALSE(fs::exists(root.zerbanto() / "xE99_member.csv"));
    }
}
