// Other local users of the shop's PC. The data folder is never one that every user may write (no fallback to
// /tmp when HOME is missing), and a link another user plants in a shared root is refused. The other user's part
// runs through setpriv as that user; those cases need root and are skipped, saying so, without it.

#include "app/start/Options.h"
#include "core/Paths.h"
#include "support/ShellCommand.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Sets an environment variable (or unsets it, for nullopt) while it lives.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? (void)::setenv(name, value->c_str(), 1) : (void)::unsetenv(name);
    }
    ~EnvironmentVariable() { old_ ? (void)::setenv(name_, old_->c_str(), 1) : (void)::unsetenv(name_); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

// HOME unset or empty: the home is the one the password database gives the user, never /tmp, where another user
// could make the folders first and swap one for a link.
TEST(OtherUsers, WithoutHomeTheDataFolderIsInTheUsersOwnHome) {
    const passwd* pw = ::getpwuid(::geteuid());
    ASSERT_NE(pw, nullptr);
    const fs::path own = fs::path(pw->pw_dir) / ".local/share/timerecorder";
    const EnvironmentVariable xdg("XDG_DATA_HOME", std::nullopt);
    for (const std::optional<std::string>& home : {std::optional<std::string>(), std::optional<std::string>("")}) {
        const EnvironmentVariable set_home("HOME", home);
        EXPECT_EQ(Paths::default_root(), own);
    }
}

// A user the password database does not know, without HOME: no data folder at all, and the start is refused
// with a message (nothing is made anywhere).
TEST(OtherUsers, WithoutAnyHomeTheStartIsRefused) {
    if (!running_as_root()) {
        GTEST_SKIP() << "running as a user without a home needs root (setpriv)";
    }
    constexpr int unknown_uid = 54321;
    if (::getpwuid(unknown_uid) != nullptr) {
        GTEST_SKIP() << "uid " << unknown_uid << " is a known user here";
    }
    const ShellResult r = run_shell("cd / && setpriv --reuid=54321 --regid=54321 --clear-groups env -u HOME -u "
                                    "XDG_DATA_HOME " +
                                    quoted(TR_SIM_BINARY) + " < /dev/null");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find(no_home_message), std::string::npos) << r.output;
}

// A root every user may write (as /tmp is): another user plants zerbanto as a link to a folder of theirs. The
// recorder refuses it, so no stamp goes where that user reads it, and their folder keeps its mode.
TEST(OtherUsers, ALinkAnotherUserPlantsInASharedRootIsRefused) {
    if (!running_as_root()) {
        GTEST_SKIP() << "acting as another user (nobody, through setpriv) needs root";
    }
    TempRoot root;
    fs::permissions(root.path(), fs::perms(0755));
    const fs::path shared = root.path() / "shared";
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms(01777));
    const fs::path theirs = shared / "theirs";
    const ShellResult planted =
        run_shell("setpriv --reuid=nobody --regid=nogroup --clear-groups sh -c " +
                  quoted("mkdir -m 755 " + quoted(theirs.string()) + " && ln -s " + quoted(theirs.string()) + " " +
                         quoted((shared / "zerbanto").string())));
    ASSERT_EQ(planted.status, 0) << planted.output;

    const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nshow\n", {"--root", shared.string()});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.of("message").size(), 1U);
    EXPECT_EQ(run.of("message")[0]["text"].get<std::string>().rfind("データのフォルダーがシンボリックリンクです。", 0),
              0U);
    EXPECT_EQ(fs::status(theirs).permissions() & fs::perms::all, fs::perms(0755));
    EXPECT_TRUE(fs::is_empty(theirs));
}
