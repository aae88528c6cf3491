// Symbolic links planted inside the data folder by whoever can write it. The recorder's own folders and the
// files it keeps there are never reached through a link: the folders are refused at start, the lock and the log
// are not followed, and the exit's upload sends and deletes only the outbox's regular files. The root itself
// may be a link: the user named it.

#include "app/recorder/Transfers.h"
#include "app/start/DataFolder.h"
#include "stamping/AttendanceLog.h"
#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/RecorderParts.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

fs::perms mode_of(const fs::path& p) {
    return fs::symlink_status(p).permissions() & fs::perms::all;
}

} // namespace

// A zerbanto or cortmp that leads into another folder: the start is refused naming it, and the folder it leads
// to is neither made private nor cleared of its "*.tmp<pid>" files. A root that is itself a link is used.
TEST(Links, ALinkedSystemFolderOrOutboxIsRefusedAndWhereItLeadsIsLeftAlone) {
    const struct {
        const char* linked;
        const char* text;
    } cases[] = {
        {"zerbanto", "データのフォルダーがシンボリックリンクです。リンクではないフォルダーにしてください。\n"},
        {"cortmp", "送信用のフォルダーがシンボリックリンクです。リンクではないフォルダーにしてください。\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.linked);
        TempRoot root;
        const fs::path shared = root.path() / "shared";
        root.write_bytes("shared/report.csv.tmp123", "someone else's file");
        fs::permissions(shared, fs::perms(0755));
        const fs::path store = root.path() / "store";
        fs::create_directories(store);
        if (std::string(c.linked) == "cortmp") {
            root.write_bytes("store/zerbanto/E99_member.csv", "123,A,0123\r\n");
        } else {
            fs::remove_all(store / "zerbanto");
        }
        fs::create_directory_symlink(shared, store / c.linked);
        fs::create_directory_symlink(store, root.path() / "named"); // the root the user gives may be a link

        const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nshow\n",
                                   {"--root", (root.path() / "named").string()});
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.of("message").size(), 1U);
        EXPECT_EQ(run.of("message")[0]["text"], c.text + (root.path() / "named" / c.linked).string());
        EXPECT_EQ(mode_of(shared), fs::perms(0755));
        EXPECT_TRUE(fs::exists(shared / "report.csv.tmp123"));
    }
}

// A link planted as the lock file is not followed: its target is not created, and the start is refused.
TEST(Links, ALinkAsTheLockFileIsNeverFollowed) {
    TempRoot root;
    fs::create_symlink(root.path() / "made-by-the-recorder", root.zerbanto() / ".timerecorder.lock");
    Options o;
    o.root = root.path();
    o.root_given = true;
    SingleInstance instance(o.root);
    const DataFolder taken = take_data_folder(o, instance);
    EXPECT_EQ(taken.outcome, DataFolder::Outcome::Refused);
    EXPECT_EQ(taken.message, "ロックファイルを作成できません。\n" + (root.zerbanto() / ".timerecorder.lock").string());
    EXPECT_FALSE(fs::exists(fs::symlink_status(root.path() / "made-by-the-recorder")));
}

// A log swapped for a link while the recorder runs: the stamp is refused (the log's message follows) and the
// file the link leads to, readable by whoever planted it, gets nothing.
TEST(Links, TheLogIsNeverWrittenThroughALink) {
    TempRoot root;
    const fs::path log = root.zerbanto() / "KLOG_T01.csv";
    root.write_bytes("theirs.csv", "");
    AttendanceLog channel;
    ASSERT_TRUE(channel.open_append(log));
    ASSERT_TRUE(channel.append_line("T01,2026/12/8 9:00,1,A,1,,,01"));
    fs::remove(log);
    fs::create_symlink(root.path() / "theirs.csv", log);
    const Status st = channel.append_line("T01,2026/12/8 9:01,2,B,1,,,02");
    ASSERT_FALSE(st);
    EXPECT_EQ(st.error(), ErrorNumber::BadFileNameOrNumber);
    EXPECT_EQ(root.read_bytes("theirs.csv"), "");
    EXPECT_FALSE(channel.open_append(log));
    EXPECT_EQ(root.read_bytes("theirs.csv"), "");
}

// A link in the outbox that leads to a file the recorder may read (here one of root's own): the exit's upload
// neither sends it to the head office nor deletes it; the copy of the log goes as usual.
TEST(Links, TheUploadSendsAndDeletesRegularFilesOnly) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    TempRoot root;
    root.write_bytes("zerbanto/KLOG_T04.csv", "T04,2016/12/7 9:00,101,A,1,9:00,18:00,012E\r\n");
    root.write_bytes("private/secret.txt", "not for the head office");
    fs::permissions(root.path() / "private/secret.txt", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(root.path() / "cortmp");
    fs::create_symlink(root.path() / "private/secret.txt", root.path() / "cortmp/K04_161207_0000.CSV");

    TestRecorder rig(root.path(), {}, ftp_options(server.port()));
    use_store(*rig.rec, "T04");
    rig.clock.set(*DateTime::make(2016, 12, 8, 22, 3, 0));
    (void)RecorderParts::transfers(*rig.rec).upload_at_exit();

    EXPECT_TRUE(fs::exists(server.sub() / "K04_161208_2203.CSV"));
    EXPECT_FALSE(fs::exists(server.sub() / "K04_161207_0000.CSV"));
    EXPECT_TRUE(fs::is_symlink(root.path() / "cortmp/K04_161207_0000.CSV"));
    EXPECT_EQ(root.read_bytes("private/secret.txt"), "not for the head office");
}
