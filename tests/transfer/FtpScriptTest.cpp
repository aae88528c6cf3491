#include "transfer/FtpScript.h"

#include "app/recorder/FtpJobOf.h"
#include "app/start/Options.h"
#include "core/TextFile.h"
#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/TempRoot.h"
#include "transfer/FtpScriptFile.h"
#include "transfer/FtpSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string script_bytes(const std::string& open_line, const std::string& command) {
    return open_line + "\r\nupload\r\nPelmora583920\r\nbin\r\nprompt\r\ncd /sub\r\n" + command + "\r\nbye\r\n";
}

bool no_partial_files(const fs::path& folder) {
    for (const auto& e : fs::directory_iterator(folder)) {
        if (textfile::is_temporary_name(e.path().filename().string())) {
            return false;
        }
    }
    return true;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

ServerAddress address(const char* setting, int ftp_port = 21) {
    return parse_server_setting(setting, ftp_port).value();
}

TEST(FtpScript, ChoosesTheHostByTheCompanyName) {
    struct Case {
        const char* company;
        const char* debug_server;
        const char* host;
    };
    for (const auto& c : std::initializer_list<Case>{{"Corvale", "vendor.example", "head.example"},
                                                     {"debug", "vendor.example", "vendor.example"},
                                                     {"DeBuG", "vendor.example", "vendor.example"},
                                                     {"debug ", "vendor.example", "head.example"},
                                                     {"debug", "", "head.example"}}) {
        const auto debug = *c.debug_server == '\0' ? std::nullopt : parse_server_setting(c.debug_server, 21);
        EXPECT_EQ(ftp_server(c.company, address("head.example"), debug).host, c.host) << '"' << c.company << '"';
    }
}

TEST(FtpScript, TheScriptInMemoryIsTheOneWrittenAndOtherCommandsAreRefused) {
    const auto server = address("127.0.0.1", 2121);
    const auto made = ftpscript::script(server, "mput C:\\cortmp\\*.*");
    ASSERT_TRUE(made.script) << made.error;
    EXPECT_EQ(made.script->server.port, 2121);
    EXPECT_EQ(made.script->login.user, "upload");
    EXPECT_EQ(made.script->login.password, "Pelmora583920");
    EXPECT_EQ(made.script->directory, "/sub");
    EXPECT_EQ(made.script->transfer, ftpscript::Transfer::Mput);
    EXPECT_EQ(made.script->locals, std::vector<std::string>{"C:\\cortmp\\*.*"});
    const auto get = ftpscript::script(server, "GET a  c:\\zerbanto\\a");
    ASSERT_TRUE(get.script);
    EXPECT_EQ(get.script->remote, "a");
    for (const char* command : {"delete E99_member.csv", "get E99_member.csv", "mput", "!sh -c x"}) {
        EXPECT_FALSE(ftpscript::script(server, command).script) << command;
    }
}

// A get writes the script for its owner only, fetches the file, and logs the run without the password; the
// next call replaces both the script and the log. The log, which names the server and the account, is its
// owner's alone too, even where an earlier one was readable by others, and its open line names the port used.
TEST(FtpScript, FetchesAFileAndKeepsOnlyTheLastScriptAndLog) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    std::ofstream(server.sub() / "E99_member.csv", std::ios::binary) << "1,a,b\r\n";
    std::ofstream(server.sub() / "S04_SHIFT.csv", std::ios::binary) << "99999,plan\r\n";
    TempRoot root;
    root.write_bytes("zerbanto/ftplog.txt", "an earlier version's log");
    fs::permissions(root.zerbanto() / "ftplog.txt",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    TestRecorder rig(root.path(), {}, ftp_options(server.port()));

    const auto first =
        run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                       "get E99_member.csv c:\\zerbanto\\xE99_member.csv");
    EXPECT_TRUE(first->ok);
    EXPECT_EQ(root.read_bytes("zerbanto/xE99_member.csv"), "1,a,b\r\n");
    const std::string open_line = "open 127.0.0.1 " + std::to_string(server.port());
    EXPECT_EQ(root.read_bytes("zerbanto/ftp_bat2.txt"),
              script_bytes(open_line, "get E99_member.csv c:\\zerbanto\\xE99_member.csv"));
    EXPECT_EQ(fs::status(root.zerbanto() / "ftp_bat2.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    const std::string first_log = root.read_bytes("zerbanto/ftplog.txt");
    EXPECT_NE(first_log.find("xE99_member.csv"), std::string::npos);
    EXPECT_EQ(first_log.find("Pelmora583920"), std::string::npos);
    EXPECT_NE(first_log.find("ftp> " + open_line + "\r\n"), std::string::npos) << first_log;
    EXPECT_EQ(fs::status(root.zerbanto() / "ftplog.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(root.zerbanto() / "ftplog.txt");

    const auto second =
        run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                       "get S04_SHIFT.csv C:\\Zerbanto\\S04_SHIFT.csv");
    EXPECT_TRUE(second->ok);
    EXPECT_EQ(root.read_bytes("zerbanto/S04_SHIFT.csv"), "99999,plan\r\n");
    EXPECT_EQ(root.read_bytes("zerbanto/ftp_bat2.txt"),
              script_bytes(open_line, "get S04_SHIFT.csv C:\\Zerbanto\\S04_SHIFT.csv"));
    const std::string second_log = root.read_bytes("zerbanto/ftplog.txt");
    EXPECT_NE(second_log.find("S04_SHIFT.csv"), std::string::npos);
    EXPECT_EQ(second_log.find("xE99_member.csv"), std::string::npos);
    EXPECT_EQ(fs::status(root.zerbanto() / "ftplog.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(no_partial_files(root.zerbanto()));
}

// An empty file whose size the server announced as 0 came whole: it is no file cut short.
TEST(FtpScript, AnEmptyFileOfAnnouncedSizeZeroIsAccepted) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    std::ofstream(server.sub() / "S04_SHIFT.csv", std::ios::binary).flush();
    TempRoot root;
    root.write_bytes("zerbanto/S04_SHIFT.csv", "earlier plan\r\n");
    TestRecorder rig(root.path(), {}, ftp_options(server.port()));
    const auto got =
        run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                       "get S04_SHIFT.csv c:\\zerbanto\\S04_SHIFT.csv");
    ASSERT_TRUE(got);
    EXPECT_TRUE(got->ok) << root.read_bytes("zerbanto/ftplog.txt");
    EXPECT_EQ(root.read_bytes("zerbanto/S04_SHIFT.csv"), "");
}

// Each way a get can fail leaves the local file as it was (here: an earlier copy) and nothing half-written,
// and ends within the time limits.
TEST(FtpScript, AFailedGetLeavesTheEarlierFileAndNoPartOfANewOne) {
    struct Case {
        const char* name;
        FtpTestServer::Setup setup;
        bool down;
        const char* remote;
        double max_seconds;
        int connect_seconds = 5; // a refused login takes the server 3 s to answer
        int stall_seconds = 1;
    };
    FtpTestServer::Setup refused;
    refused.password = "another";
    FtpTestServer::Setup silent;
    silent.mode = "silent";
    FtpTestServer::Setup stalling;
    stalling.stall_retr = true;
    // The client judges a stalled transfer by its speed over the last few seconds, so a transfer that stops
    // after a burst ends some 6 s after the limit. The silent server and the stalled transfer are each cut by
    // their own limit, the other one being far longer.
    const std::vector<Case> cases{{"missing remote file", {}, false, "S99_SHIFT.csv", 5},
                                  {"server down", {}, true, "S04_SHIFT.csv", 5},
                                  {"login refused", refused, false, "S04_SHIFT.csv", 8},
                                  {"silent server", silent, false, "S04_SHIFT.csv", 5, 1, 20},
                                  {"transfer stalls half-way", stalling, false, "S04_SHIFT.csv", 15, 20, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpTestServer server(c.setup);
        ASSERT_GT(server.port(), 0);
        std::ofstream(server.sub() / "S04_SHIFT.csv", std::ios::binary) << std::string(200'000, 'n');
        int port = server.port();
        if (c.down) {
            server.stop();
            port = unused_port();
        }
        TempRoot root;
        root.write_bytes("zerbanto/S04_SHIFT.csv", "earlier copy");
        Options o = ftp_options(port);
        o.ftp_connect_timeout = c.connect_seconds;
        o.ftp_stall_timeout = c.stall_seconds;
        TestRecorder rig(root.path(), {}, o);
        const auto start = std::chrono::steady_clock::now();
        const auto outcome =
            run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                           std::string("get ") + c.remote + " c:\\zerbanto\\S04_SHIFT.csv");
        const double took = seconds_since(start);
        std::printf("[ measured ] %s: %.2f s, %d event turns\n", c.name, took, rig.ui.events_processed);
        EXPECT_FALSE(outcome->ok);
        EXPECT_EQ(root.read_bytes("zerbanto/S04_SHIFT.csv"), "earlier copy");
        EXPECT_TRUE(no_partial_files(root.zerbanto()));
        EXPECT_LT(took, c.max_seconds);
        EXPECT_FALSE(root.read_bytes("zerbanto/ftplog.txt").empty());
        if (took > 0.5) { // the window kept its events flowing all the while
            EXPECT_GT(rig.ui.events_processed, static_cast<int>(took * 10));
        }
    }
}

TEST(FtpScript, MputUploadsEveryMatchingFileAndReportsWhatTheServerTook) {
    for (const int close_after : {-1, 1}) {
        SCOPED_TRACE(close_after);
        FtpTestServer::Setup setup;
        setup.close_after_stores = close_after;
        FtpTestServer server(setup);
        ASSERT_GT(server.port(), 0);
        TempRoot root;
        const std::vector<std::string> names{"K04_161207_0900.CSV", "K04_161207_1800.CSV", "notes"};
        for (const auto& n : names) {
            root.write_bytes("cortmp/" + n, "data of " + n);
        }
        TestRecorder rig(root.path(), {}, ftp_options(server.port()));
        const auto outcome =
            run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                           "mput C:\\cortmp\\*.*");
        const std::size_t taken = close_after < 0 ? names.size() : static_cast<std::size_t>(close_after);
        EXPECT_EQ(outcome->ok, close_after < 0);
        ASSERT_EQ(outcome->uploaded.size(), taken);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const fs::path on_server = server.sub() / names[i];
            if (i < taken) {
                EXPECT_EQ(outcome->uploaded[i], root.path() / "cortmp" / names[i]);
                EXPECT_EQ(file_bytes(on_server), "data of " + names[i]);
            }
        }
    }
}

TEST(FtpScript, TimeLimitsDefaultTo15And30SecondsAnd100BytesASecondAndCanBeChanged) {
    const auto defaults = parse_options({}, Program::Simulator);
    EXPECT_EQ(defaults.options.ftp_connect_timeout, 15);
    EXPECT_EQ(defaults.options.ftp_stall_timeout, 30);
    EXPECT_EQ(defaults.options.ftp_min_speed, 100);
    const auto shorter = parse_options({"--ftp-connect-timeout", "2", "--ftp-stall-timeout=1", "--ftp-min-speed", "50"},
                                       Program::Window);
    ASSERT_EQ(shorter.error, "");
    EXPECT_EQ(shorter.options.ftp_connect_timeout, 2);
    EXPECT_EQ(shorter.options.ftp_stall_timeout, 1);
    EXPECT_EQ(shorter.options.ftp_min_speed, 50);
    for (const char* bad : {"0", "-1", "1s", "3601"}) {
        EXPECT_NE(parse_options({"--ftp-stall-timeout", bad}, Program::Simulator).error, "") << bad;
    }
    EXPECT_NE(parse_options({"--ftp-min-speed", "0"}, Program::Simulator).error, "");
}

// A transfer that crawls below the minimum speed for the stall time is cut; the default minimum lets a slow
// but working line of 1000 bytes a second through, a minimum of 5000 given on the command line does not.
// A loaded machine slows the test server and the login, so the working line is kept ten times above the
// minimum: only a crawl may look like one.
TEST(FtpScript, ASlowTransferIsCutOnlyBelowTheMinimumSpeed) {
    struct Case {
        int bytes_a_second;
        std::size_t size;
        int min_speed;
        bool ok;
    };
    for (const auto& c : {Case{2, 40, 100, false}, Case{1000, 3000, 100, true}, Case{1000, 3000, 5000, false}}) {
        SCOPED_TRACE(c.bytes_a_second);
        FtpTestServer::Setup crawl;
        crawl.crawl_retr = c.bytes_a_second;
        FtpTestServer server(crawl);
        ASSERT_GT(server.port(), 0);
        const std::string plan = std::string(c.size - 2, 'n') + "\r\n";
        std::ofstream(server.sub() / "S04_SHIFT.csv", std::ios::binary) << plan;
        TempRoot root;
        Options o = ftp_options(server.port());
        o.ftp_stall_timeout = 2;
        o.ftp_min_speed = c.min_speed;
        TestRecorder rig(root.path(), {}, o);
        const auto start = std::chrono::steady_clock::now();
        const auto outcome =
            run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                           "get S04_SHIFT.csv c:\\zerbanto\\S04_SHIFT.csv");
        const double took = seconds_since(start);
        std::printf("[ measured ] %d bytes a second: %.2f s\n", c.bytes_a_second, took);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->ok, c.ok);
        EXPECT_EQ(root.read_bytes("zerbanto/S04_SHIFT.csv"), c.ok ? plan : "");
        EXPECT_LT(took, 12);
    }
}

// The connection setting chooses the transport; line 1 shows it as written and lines 2 and 3 the login in use.
TEST(FtpScript, TheOpenLineShowsTheSettingAsWrittenAndItsTransport) {
    struct Case {
        const char* setting;
        int ftp_port;
        const char* open;
        Transport transport;
        const char* host;
        int port;
    };
    for (const auto& c : std::initializer_list<Case>{
             {"head.example", 2121, "open head.example 2121", Transport::Ftp, "head.example", 2121},
             {"ftps://head.example", 21, "open ftps://head.example", Transport::Ftps, "head.example", 21},
             {"ftps://head.example", 2121, "open ftps://head.example 2121", Transport::Ftps, "head.example", 2121},
             {"FTPS://head.example:990", 2121, "open FTPS://head.example:990", Transport::Ftps, "head.example", 990},
             {"ftp://localhost:2121", 21, "open ftp://localhost:2121", Transport::Ftp, "localhost", 2121},
             {"sftp://head.example", 2121, "open sftp://head.example", Transport::Sftp, "head.example", 22},
             {"sftp://[::1]:2222", 21, "open sftp://[::1]:2222", Transport::Sftp, "::1", 2222},
             {"[fe80::1]", 21, "open [fe80::1]", Transport::Ftp, "fe80::1", 21},
             {"192.168.10.5", 21, "open 192.168.10.5", Transport::Ftp, "192.168.10.5", 21},
         }) {
        SCOPED_TRACE(c.setting);
        const auto server = address(c.setting, c.ftp_port);
        const auto lines = ftpscript::lines(server, "mput C:\\cortmp\\*.*", {"store04", "s3cret"});
        EXPECT_EQ(lines[0], c.open);
        EXPECT_EQ(lines[1], "store04");
        EXPECT_EQ(lines[2], "s3cret");
        EXPECT_EQ(server.transport, c.transport);
        EXPECT_EQ(server.host, c.host);
        EXPECT_EQ(server.port, c.port);
    }
}

// A setting is a host name or an IP address, or scheme://host[:port], and nothing else: no account, no path,
// no fragment, no second port, no line end. Each of these was once taken for a server.
TEST(FtpScript, ASettingWithAnythingBesidesTheHostAndPortIsNoServer) {
    for (const char* bad : {"https://head.example",
                            "ftps://",
                            "sftp://h:0",
                            "sftp://h:22x",
                            "ftps://u@h",
                            "a b",
                            "upload:Secr3tPW@127.0.0.1",
                            "ftps://localhost#.example.com:2990",
                            "sftp:127.0.0.1",
                            "head.example\n",
                            "head.example\r",
                            "head.example:2121",
                            "ftps://head.example/",
                            "ftps://head.example:21/sub",
                            "-head.example",
                            "head..example",
                            "head.example.",
                            "999.1.1.1",
                            "[::1",
                            "[head.example]",
                            "::1",
                            "ftp://[::1]x",
                            "head_example\t",
                            "ftps://h:"}) {
        EXPECT_FALSE(parse_server_setting(bad, 21)) << bad;
    }
    EXPECT_EQ(setting_for_message("upload:Secr3tPW@127.0.0.1"), "(表示しません)");
    EXPECT_EQ(setting_for_message("sftp:127.0.0.1"), "sftp:127.0.0.1");
}

TEST(FtpScript, AnUploadSendsARegularFileOnlyNeverWhatALinkOrAFifoStandsFor) {
    struct Quiet final : FtpLog {
        void note(std::string_view) override {}
        void raw(std::string_view) override {}
    } log;
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    TempRoot root;
    root.write_bytes("cortmp/K04_161207_0900.CSV", "a stamp");
    root.write_bytes("secret", "not for the head office");
    const fs::path outbox = root.path() / "cortmp";
    fs::create_symlink(root.path() / "secret", outbox / "K04_161207_1000.CSV");
    ASSERT_EQ(::mkfifo((outbox / "K04_161207_1100.CSV").c_str(), 0600), 0);
    const std::atomic<bool> cancel{false};
    FtpSession session({"127.0.0.1", server.port(), "upload", "Pelmora583920", "/sub", Transport::Ftp, {}}, {}, log,
                       cancel);
    EXPECT_TRUE(session.put(outbox / "K04_161207_0900.CSV"));
    EXPECT_FALSE(session.put(outbox / "K04_161207_1000.CSV"));
    EXPECT_FALSE(session.put(outbox / "K04_161207_1100.CSV")); // returns: never waits for a writer
    EXPECT_EQ(file_bytes(server.sub() / "K04_161207_0900.CSV"), "a stamp");
    EXPECT_FALSE(fs::exists(server.sub() / "K04_161207_1000.CSV"));
}
