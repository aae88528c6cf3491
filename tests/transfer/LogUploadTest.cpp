#include "transfer/LogUpload.h"

#include "app/recorder/Transfers.h"
#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.insert(it->path().filename().string());
    }
    return names;
}

const std::string log_bytes = "T04,2016/12/7 9:00,101,山田,1,9:00,18:00,012E\r\n";

// One press of the exit button's upload at the given time.
void exit_at(const TempRoot& root, int port, int day, int hour, int minute) {
    TestRecorder rig(root.path(), {}, ftp_options(port));
    use_store(*rig.rec, "T04");
    rig.clock.set(*DateTime::make(2016, 12, day, hour, minute, 30));
    (void)RecorderParts::transfers(*rig.rec).upload_at_exit();
}

} // namespace

TEST(LogUpload, CopyNameIsZeroPadded) {
    EXPECT_EQ(upload_copy_name("T04", *DateTime::make(2016, 3, 1, 9, 7, 59)), "K04_160301_0907.CSV");
    EXPECT_EQ(upload_copy_name("T04", *DateTime::make(2016, 7, 14, 23, 5, 0)), "K04_160714_2305.CSV");
    EXPECT_EQ(upload_copy_name("7", *DateTime::make(2016, 7, 14, 0, 0, 0)), "K7_160714_0000.CSV");
}

// Stand-alone: the outbox is made when missing, for its owner only (also under an open umask), and keeps
// every copy; a second exit in the same minute replaces the first copy. The log itself is left as it is.
TEST(LogUpload, StandAloneKeepsTheCopiesInTheOutbox) {
    TempRoot root;
    root.write_bytes("zerbanto/KLOG_T04.csv", log_bytes);
    const mode_t saved = ::umask(0);
    exit_at(root, 0, 7, 9, 7);
    ::umask(saved);
    EXPECT_EQ(fs::status(root.path() / "cortmp").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(root.path() / "cortmp/K04_161207_0907.CSV").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    root.write_bytes("zerbanto/KLOG_T04.csv", log_bytes + log_bytes);
    exit_at(root, 0, 7, 9, 7);
    exit_at(root, 0, 7, 18, 0);
    EXPECT_EQ(names_in(root.path() / "cortmp"), (std::set<std::string>{"K04_161207_0907.CSV", "K04_161207_1800.CSV"}));
    EXPECT_EQ(root.read_bytes("cortmp/K04_161207_0907.CSV"), log_bytes + log_bytes);
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T04.csv"), log_bytes + log_bytes);
}

TEST(LogUpload, ThreeStandAloneExitsThenAConnectedOneUploadFourCopies) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    TempRoot root;
    root.write_bytes("zerbanto/KLOG_T04.csv", log_bytes);
    exit_at(root, 0, 5, 22, 0);
    exit_at(root, 0, 6, 22, 1);
    exit_at(root, 0, 7, 22, 2);
    EXPECT_EQ(names_in(root.path() / "cortmp").size(), 3U);
    // A copy that a killed exit left half-written is never sent.
    root.write_bytes("cortmp/K04_161208_2159.CSV.tmp4242", "T04,2016/12/8");
    exit_at(root, server.port(), 8, 22, 3);

    const std::set<std::string> four{"K04_161205_2200.CSV", "K04_161206_2201.CSV", "K04_161207_2202.CSV",
                                     "K04_161208_2203.CSV"};
    EXPECT_EQ(names_in(server.sub()), four);
    for (const auto& n : four) {
        EXPECT_EQ(file_bytes(server.sub() / n), log_bytes) << n;
    }
    EXPECT_EQ(names_in(root.path() / "cortmp"), std::set<std::string>{"K04_161208_2159.CSV.tmp4242"});
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T04.csv"), log_bytes);
}

// Copies the server did not take stay in the outbox for the next exit: a connection lost after the first file,
// a server that cannot be reached, a server that refuses one file (553) and takes the later ones.
TEST(LogUpload, CopiesTheServerDidNotTakeStayForTheNextExit) {
    enum Fault { Lost, Down, Refused };
    for (const Fault fault : {Lost, Down, Refused}) {
        SCOPED_TRACE(fault == Lost ? "connection lost after one file" : fault == Down ? "server down" : "553");
        FtpTestServer::Setup setup;
        setup.close_after_stores = fault == Lost ? 1 : -1;
        setup.refuse_store = fault == Refused ? "K04_161207_2200.CSV" : "";
        FtpTestServer server(setup);
        ASSERT_GT(server.port(), 0);
        const bool reachable = fault != Down;
        int port = server.port();
        if (!reachable) {
            server.stop();
            port = unused_port();
        }
        TempRoot root;
        root.write_bytes("zerbanto/KLOG_T04.csv", log_bytes);
        exit_at(root, 0, 6, 22, 0);
        exit_at(root, 0, 7, 22, 0);
        exit_at(root, port, 8, 22, 0);

        const std::set<std::string> all{"K04_161206_2200.CSV", "K04_161207_2200.CSV", "K04_161208_2200.CSV"};
        const std::set<std::string> on_server =
            fault == Lost      ? std::set<std::string>{"K04_161206_2200.CSV"}
            : fault == Refused ? std::set<std::string>{"K04_161206_2200.CSV", "K04_161208_2200.CSV"}
                               : std::set<std::string>{};
        std::set<std::string> kept;
        for (const auto& n : all) {
            if (on_server.count(n) == 0) {
                kept.insert(n);
            }
        }
        EXPECT_EQ(names_in(server.sub()), on_server);
        EXPECT_EQ(names_in(root.path() / "cortmp"), kept);
        EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T04.csv"), log_bytes);
    }
}
