#include "app/start/Options.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;

TEST(Options, BothProgramsTakeTheConnectionOptions) {
    const auto r = parse_options({"--root", "/tmp/x", "--server=ho", "--ftp-port", "2121", "--debug-server", "d"},
                                 Program::Simulator);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.root, "/tmp/x");
    ASSERT_TRUE(r.options.server);
    EXPECT_EQ(r.options.server->setting, "ho");
    EXPECT_EQ(r.options.server->port, 2121);
    EXPECT_EQ(r.options.ftp_port, 2121);
    EXPECT_EQ(r.options.debug_server->setting, "d");
    const auto w = parse_options({"--demo", "--reader", "keyboard", "--sounds", "/s"}, Program::Window);
    ASSERT_EQ(w.error, "");
    EXPECT_TRUE(w.options.demo);
    EXPECT_EQ(w.options.reader, "keyboard");
    EXPECT_FALSE(w.options.root.empty()); // the default root
}

TEST(Options, BadOptionsGetAClearMessage) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                  {"--root"},
                                                                  {"--ftp-port", "0"},
                                                                  {"--ftp-port", "21x"},
                                                                  {"--ftp-port", "70000"},
                                                                  {"--reader", "nfc"},
                                                                  {"--root", ""}}) {
        EXPECT_NE(parse_options(args, Program::Window).error, "") << testing::PrintToString(args);
    }
    EXPECT_NE(parse_options({"--reader", "pcsc"}, Program::Simulator).error, ""); // window program only
}

TEST(Options, TheDemoRunsOnItsOwnFolderUnlessOneIsGiven) {
    for (const Program p : {Program::Window, Program::Simulator}) {
        const auto demo = parse_options({"--demo"}, p);
        ASSERT_EQ(demo.error, "");
        EXPECT_EQ(demo.options.root.filename(), "timerecorder-demo");
        EXPECT_EQ(parse_options({}, p).options.root.filename(), "timerecorder");
        EXPECT_EQ(parse_options({"--root", "/tmp/d", "--demo"}, p).options.root, "/tmp/d");
    }
}

// server.conf in the data folder (or the file named by --config) gives the server and the credentials; the
// command line's server wins. A file that others may read or that belongs to someone else stops the start,
// naming the file, as does a line that is not "key = value".
TEST(Options, TheServerConfigurationFileGivesTheServerAndTheCredentials) {
    TempRoot root;
    const auto conf = root.zerbanto() / "server.conf";
    const auto write_conf = [&](const std::string& text, fs::perms perms) {
        root.write_bytes("zerbanto/server.conf", text);
        fs::permissions(conf, perms);
    };
    const auto owner_only = fs::perms::owner_read | fs::perms::owner_write;
    const std::vector<std::string> at_root{"--root", root.path().string()};

    EXPECT_EQ(parse_options(at_root, Program::Simulator).options.login.user, "upload"); // no file: as before
    root.write_bytes("zerbanto/keys/store04", "key");
    fs::permissions(root.zerbanto() / "keys/store04", owner_only);
    root.write_bytes("known_hosts", "head.example ssh-ed25519 AAAA\n");
    root.write_bytes("zerbanto/ca.pem", "CA");
    write_conf("# head office\r\nserver = sftp://head.example:2222\r\nuser = store04\r\npassword = s3 cret\r\n"
               "private_key = keys/store04\r\nknown_hosts = " +
                   (root.path() / "known_hosts").string() + "\r\nca_file=ca.pem\r\n",
               owner_only);
    const auto r = parse_options(at_root, Program::Window);
    ASSERT_EQ(r.error, "");
    ASSERT_EQ(r.refusal, "");
    ASSERT_TRUE(r.options.server);
    EXPECT_EQ(r.options.server->setting, "sftp://head.example:2222");
    EXPECT_EQ(r.options.login.user, "store04");
    EXPECT_EQ(r.options.login.password, "s3 cret");
    EXPECT_EQ(r.options.keys.private_key, root.zerbanto() / "keys/store04");
    EXPECT_EQ(r.options.keys.known_hosts, root.path() / "known_hosts");
    EXPECT_EQ(r.options.keys.ca_file, root.zerbanto() / "ca.pem");
    auto given = at_root;
    given.insert(given.end(), {"--server", "ftps://other.example"});
    EXPECT_EQ(parse_options(given, Program::Simulator).options.server->setting, "ftps://other.example");

    for (const auto perms : {owner_only | fs::perms::group_read, owner_only | fs::perms::others_read,
                             owner_only | fs::perms::others_write}) {
        write_conf("user = store04\n", perms);
        const auto refused = parse_options(at_root, Program::Simulator);
        EXPECT_NE(refused.refusal.find(conf.string()), std::string::npos) << refused.refusal;
    }
    write_conf("user store04\n", owner_only);
    EXPECT_NE(parse_options(at_root, Program::Simulator).refusal.find("1 行目"), std::string::npos);
    write_conf("\nuser = a\npasswd = b\n", owner_only);
    EXPECT_NE(parse_options(at_root, Program::Simulator).refusal.find("3 行目"), std::string::npos);
    write_conf("server = http://head.example\n", owner_only);
    EXPECT_NE(parse_options(at_root, Program::Simulator).refusal, "");
    if (::geteuid() == 0) {
        write_conf("user = store04\n", owner_only);
        ASSERT_EQ(::chown(conf.c_str(), 4242, 4242), 0);
        EXPECT_NE(parse_options(at_root, Program::Simulator).refusal.find(conf.string()), std::string::npos);
    }
    auto missing = at_root;
    missing.insert(missing.end(), {"--config", (root.path() / "absent.conf").string()});
    EXPECT_NE(parse_options(missing, Program::Simulator).refusal.find("absent.conf"), std::string::npos);
}
