// Odd things under the names the recorder reads and writes: FIFOs, devices, huge files, a folder where the log
// belongs, a line end cut off while the recorder runs, a read-only disk. Nothing hangs, nothing is read without
// end, no two stamps merge into one line, and each is told with the message that belongs to it.

#include "stamping/AttendanceLog.h"
#include "support/ShellCommand.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const char* const start_script = "time 2026-12-08 09:00:00\nstart\nshow\n";

} // namespace

// A FIFO (which would wait for a writer for ever), a link to /dev/zero (which never ends) and a file of 3 GB:
// every reader opens without waiting and takes regular files only, and server.conf is read to its bound. Each is
// handled as its reader handles a file it cannot read.
TEST(OddFiles, FifosDevicesAndHugeFilesAreNeitherWaitedOnNorReadWhole) {
    enum Kind { Fifo, DevZero, Huge };
    const struct {
        const char* name;
        Kind kind;
        int status;
        const char* said; // on standard error, or in the one message
    } cases[] = {
        {"server.conf", Fifo, 1, "は普通のファイルではありません。起動しません"},
        {"server.conf", DevZero, 1, "は普通のファイルではありません。起動しません"},
        {"server.conf", Huge, 1, "が大きすぎます (64 KiB まで)。起動しません"},
        {"action01.txt", Fifo, 0, "想定外エラー get_actionmap err = 75"},
        {"E99_member.csv", Fifo, 0, ""},
        {"KLOG_T99.csv", Fifo, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.kind));
        TempRoot root;
        if (std::string(c.name) != "E99_member.csv") {
            root.write_bytes("zerbanto/E99_member.csv", "123,A,0123456789ABCDEF\r\n");
        }
        const fs::path file = root.zerbanto() / c.name;
        if (c.kind == Fifo) {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        } else if (c.kind == DevZero) {
            fs::create_symlink("/dev/zero", file);
        } else {
            root.write_bytes(fs::path("zerbanto") / c.name, "");
            fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
            fs::resize_file(file, std::uintmax_t{3} << 30); // sparse: no disk is taken
        }
        const SimRun run = run_sim(root.path(), start_script);
        EXPECT_EQ(run.status, c.status);
        std::string said = run.stderr_text;
        for (const auto& m : run.of("message")) {
            said += m["text"].get<std::string>();
        }
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(run.of("state").size(), c.status == 0 && std::string(c.name) != "action01.txt" ? 1U : 0U);
    }
}

// The log replaced by a folder: the reopen at a transfer time cannot open it, and that is the log's message (the
// stamps cannot be written), not an unexpected error number; the simulator's status says the program failed.
TEST(OddFiles, AFolderWhereTheLogBelongsGivesTheLogMessage) {
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"店舗CD = T01", "F転送= 9:00:05"}));
    root.write_bytes("zerbanto/E99_member.csv", "123,A,0123456789ABCDEF\r\n");
    fs::create_directories(root.zerbanto() / "KLOG_T01.csv");
    const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nwait 10s\n");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.of("message").size(), 1U);
    EXPECT_EQ(run.of("message")[0]["text"], "LOGファイルに書き込みできません");
    EXPECT_EQ(run.of("message")[0]["icon"], "critical");
}

// The last CR LF of the log cut off in place (the same file, no rename) while the recorder runs: the next line
// still starts a line of its own, and the cut line is ended where it stands.
TEST(OddFiles, ALineEndCutOffWhileRunningNeverMergesTwoStamps) {
    TempRoot root;
    const fs::path log = root.zerbanto() / "KLOG_T01.csv";
    AttendanceLog channel;
    ASSERT_TRUE(channel.open_append(log));
    ASSERT_TRUE(channel.append_line("T01,2026/12/8 9:00,1,A,1,,,01"));
    fs::resize_file(log, fs::file_size(log) - 2);
    ASSERT_TRUE(channel.append_line("T01,2026/12/8 9:01,2,B,1,,,02"));
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.csv"),
              "T01,2026/12/8 9:00,1,A,1,,,01\r\nT01,2026/12/8 9:01,2,B,1,,,02\r\n");
}

// A data folder on a disk mounted read-only: a folder that is there is not one that "cannot be made", whether
// it is private already (the start's test file cannot be made) or wider (it cannot be made private).
TEST(OddFiles, AReadOnlyDiskSaysTheFolderCannotBeWritten) {
    if (!running_as_root()) {
        GTEST_SKIP() << "mounting a read-only disk of the test's own needs root";
    }
    for (const char* mode : {"700", "755"}) {
        SCOPED_TRACE(mode);
        TempRoot root;
        const fs::path disk = root.path() / "disk";
        fs::create_directories(disk);
        root.write_bytes("script.txt", start_script);
        const std::string d = quoted(disk.string());
        // A mount of this test's own, in a namespace of its own: gone when the command ends.
        std::string inner = "mount -t tmpfs -o size=1m tmpfs ";
        inner.append(d).append(" && mkdir -m ").append(mode).append(" ").append(d);
        inner.append("/zerbanto && mount -o remount,ro ").append(d).append(" && exec ");
        inner.append(quoted(TR_SIM_BINARY)).append(" --root ").append(d);
        std::string command = "unshare -m sh -c ";
        command.append(::quoted(inner)).append(" < ").append(quoted((root.path() / "script.txt").string()));
        const ShellResult r = run_shell(command);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find("データのフォルダーに書き込みできません。\\n" + (disk / "zerbanto").string() +
                                "\\n書き込みが禁止されています"),
                  std::string::npos)
            << r.output;
    }
}
