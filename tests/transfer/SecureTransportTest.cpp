#include "transfer/FtpScript.h"

#include "app/recorder/FtpJobOf.h"
#include "app/start/Options.h"
#include "core/Cp932.h"
#include "core/TextFile.h"
#include "support/FakeServices.h"
#include "support/SecureServers.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::string member_list =
    cp932_lines({"99999,2016/12/08", "101,山田花子,012E4C1B3A5F6D7E", "102,佐藤一郎,0101AB"});
const std::string shift_plan = cp932_lines({"99999,12月8日(木)の予定", "161208,佐藤一郎,x,12:30,21:00"});

// A store whose server.conf names the server and the credentials starts, fetches its list and plan, and
// uploads its log at the exit; the script shows the setting and the account in use, the log the transport and
// never the password or the key.
template <class Server>
void fetches_and_uploads(const Server& server, const std::string& setting, const std::string& conf,
                         const std::string& transport_word, const std::string& secret) {
    server.put("E99_member.csv", member_list);
    server.put("S01_SHIFT.csv", shift_plan);
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/server.conf", "server = " + setting + "\n" + conf);
    fs::permissions(root.zerbanto() / "server.conf", fs::perms::owner_read | fs::perms::owner_write);

    // The server's port is the system's choice and shows in the connection setting the simulator prints.
    const UnrecordedRuns port_by_chance;
    const SimRun run = run_sim(root.path(), "time 2016-12-08 09:00:00\nstart\nshow\nclick cmd_Func\n");
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    ASSERT_EQ(run.of("state").size(), 1U) << root.read_bytes("zerbanto/ftplog.txt");
    const auto state = run.last_state();
    EXPECT_EQ(state["labels"]["lbl_type"]["text"], setting);
    EXPECT_EQ(state["members"].size(), 2U);
    EXPECT_EQ(state["labels"]["lbl_shift"]["text"], "12月8日(木)の予定");
    EXPECT_EQ(state["board"][0]["Cast"]["text"], "佐藤一郎");
    EXPECT_TRUE(run.of("message").empty());
    const fs::path uploaded = server.sub() / "K01_161208_0900.CSV";
    ASSERT_TRUE(fs::exists(uploaded));
    // Staff attendance is readable by the store's account alone, whatever the server's default.
    EXPECT_EQ(fs::status(uploaded).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
    EXPECT_TRUE(fs::is_empty(root.path() / "cortmp"));

    const auto script = textfile::split_lines(root.read_bytes("zerbanto/ftp_bat2.txt"));
    ASSERT_EQ(script.size(), 8U);
    EXPECT_EQ(script[0], "open " + setting);
    EXPECT_EQ(script[1], server.account().name());
    const std::string log = root.read_bytes("zerbanto/ftplog.txt");
    EXPECT_NE(log.find(transport_word), std::string::npos) << log;
    EXPECT_NE(log.find("ftp> open " + setting + "\r\n"), std::string::npos) << log; // no second port beside the URL's
    EXPECT_EQ(log.find(secret), std::string::npos) << log;
}

struct Refusal {
    const char* name;
    std::string setting;
    Options options;
    const char* words; // what ftplog.txt says about the check that failed
};

// A failed check is a failed transfer: the earlier plan stays, nothing is uploaded, and the log says which
// check failed. The server has the plan, so that a transfer past the check would show.
template <class Server> void refused(const Refusal& c, const Server& server) {
    SCOPED_TRACE(c.name);
    server.put("S01_SHIFT.csv", shift_plan);
    TempRoot root;
    root.write_bytes("zerbanto/S01_SHIFT.csv", "earlier plan\r\n");
    root.write_bytes("cortmp/K01_161207_2200.CSV", "log\r\n");
    Options o = c.options;
    o.server = parse_server_setting(c.setting, 21);
    o.ftp_connect_timeout = 5;
    o.ftp_stall_timeout = 5;
    TestRecorder rig(root.path(), {}, o);
    const auto got =
        run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                       "get S01_SHIFT.csv c:\\zerbanto\\S01_SHIFT.csv");
    ASSERT_TRUE(got);
    EXPECT_FALSE(got->ok);
    EXPECT_EQ(root.read_bytes("zerbanto/S01_SHIFT.csv"), "earlier plan\r\n");
    const std::string log = cp932::to_utf8(root.read_bytes("zerbanto/ftplog.txt"));
    EXPECT_NE(log.find(std::string("確認に失敗しました: ") + c.words), std::string::npos) << log;
    if (!o.keys.private_key.empty()) {
        EXPECT_EQ(log.find(o.keys.private_key.string() + "'"), std::string::npos) << log;
        EXPECT_NE(log.find("SSH MD5 public key"), std::string::npos) << log; // the words around the key stay
    }
    const auto put =
        run_ftp_script(ftp_job(rig.rec->options(), rig.rec->paths(), rig.rec->lists().store().company, rig.ui),
                       "mput C:\\cortmp\\*.*");
    ASSERT_TRUE(put);
    EXPECT_TRUE(put->uploaded.empty());
    EXPECT_FALSE(fs::exists(server.sub() / "K01_161207_2200.CSV"));
}

} // namespace

TEST(SecureTransport, FtpsVerifiesTheCertificateAndTheHostNameAndNeverFallsBackToPlainFtp) {
    if (const auto why = secure_servers_missing(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    FtpsTestServer server;
    ASSERT_GT(server.port(), 0);
    const std::string port = std::to_string(server.port());
    const std::string conf = "user = " + server.account().name() + "\npassword = " + server.account().password() +
                             "\nca_file = " + server.ca_file().string() + "\n";
    fetches_and_uploads(server, "ftps://localhost:" + port, conf, "FTPS", server.account().password());

    Options o;
    o.login = {server.account().name(), server.account().password()};
    o.keys.ca_file = server.ca_file();
    Options unknown_ca = o;
    unknown_ca.keys.ca_file = server.other_ca_file();
    FtpsTestServer plain(false);
    ASSERT_GT(plain.port(), 0);
    refused({"wrong host name", "ftps://127.0.0.1:" + port, o, "証明書がホスト名 127.0.0.1 のものではありません"},
            server);
    refused({"unknown CA", "ftps://localhost:" + port, unknown_ca, "サーバーの証明書を信頼できません"}, server);
    refused({"server without TLS", "ftps://localhost:" + std::to_string(plain.port()), o,
             "サーバーが暗号化 (AUTH TLS) に応じません"},
            plain);
}

TEST(SecureTransport, SftpChecksTheHostKeyAndLogsInWithTheStoresKey) {
    if (const auto why = secure_servers_missing(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    SftpTestServer server;
    ASSERT_GT(server.port(), 0);
    const std::string setting = "sftp://127.0.0.1:" + std::to_string(server.port());
    const std::string conf = "user = " + server.account().name() + "\nprivate_key = " + server.user_key().string() +
                             "\nknown_hosts = " + server.known_hosts().string() + "\n";
    fetches_and_uploads(server, setting, conf, "SFTP", server.user_key().string());

    Options o;
    o.login = {server.account().name(), ""};
    o.keys = {server.user_key(), {}, server.known_hosts()};
    Options changed = o;
    changed.keys.known_hosts = server.changed_known_hosts();
    Options unknown = o;
    unknown.keys.known_hosts = server.other_known_hosts();
    Options wrong_key = o;
    wrong_key.keys.private_key = server.other_user_key();
    refused({"changed host key", setting, changed, "サーバーのホスト鍵が known_hosts の鍵と違います"}, server);
    refused({"host not in known_hosts", setting, unknown, "サーバーのホスト鍵が known_hosts にありません"}, server);
    refused({"wrong user key", setting, wrong_key, "ログインが拒否されました"}, server);

    // A key that cannot be opened is no refused login: the log says which. A missing key's path, "k", is hidden
    // where it stands whole, not inside every word holding a "k".
    Options missing_key = o;
    missing_key.keys.private_key = "k";
    refused({"missing key file", setting, missing_key, "秘密鍵のファイルがないか、読めません"}, server);
    Options locked_key = o;
    locked_key.keys.private_key = server.user_key().string() + ".locked";
    locked_key.login.password = "not the passphrase";
    fs::copy_file(server.user_key(), locked_key.keys.private_key);
    ASSERT_EQ(std::system(("ssh-keygen -q -p -P '' -N 'the passphrase' -f " + locked_key.keys.private_key.string() +
                           " >/dev/null")
                              .c_str()),
              0);
    refused({"wrong passphrase", setting, locked_key,
             "秘密鍵を開けません: パスフレーズ (設定ファイルの password) が違うか"},
            server);
}
