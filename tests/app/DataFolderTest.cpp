#include "app/start/DataFolder.h"
#include "app/start/SingleInstance.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <limits>

namespace fs = std::filesystem;

// A folder the recorder chose itself (the default one, the demo's) is made on first use, private; one named
// with --root must exist already (StartupScenario).
TEST(DataFolder, MakesItsOwnFolderPrivate) {
    TempRoot root;
    Options own;
    own.root = root.path() / "new/timerecorder";
    SingleInstance instance(own.root);
    EXPECT_EQ(take_data_folder(own, instance).outcome, DataFolder::Outcome::Taken);
    EXPECT_EQ(fs::status(own.root / "zerbanto").permissions() & fs::perms::all, fs::perms::owner_all);
}

// The lock and the socket are files of the private folder; a second copy finds the first through the socket
// also when the folder's path is longer than a socket address can hold.
TEST(DataFolder, SecondCopyReachesTheFirstThroughItsSocketFile) {
    TempRoot root;
    Options o;
    o.root = root.path() / std::string(120, 'r');
    o.root_given = true;
    fs::create_directories(o.root);
    SingleInstance first(o.root);
    ASSERT_EQ(take_data_folder(o, first).outcome, DataFolder::Outcome::Taken);
    EXPECT_TRUE(fs::is_socket(o.root / "zerbanto/.timerecorder.sock"));
    EXPECT_FALSE(first.take_activation_request());
    SingleInstance second(o.root);
    EXPECT_EQ(take_data_folder(o, second).outcome, DataFolder::Outcome::Running);
    EXPECT_TRUE(second.request_activation());
    EXPECT_TRUE(first.take_activation_request());
}

// A system folder written "Zerbanto" (as a stick's copy or an older install may have it) is the folder the
// guard is taken in, as all the recorder's files are.
TEST(DataFolder, TheGuardIsTakenInTheSystemFolderWhateverTheCaseOfItsName) {
    TempRoot root;
    Options o;
    o.root = root.path() / "store";
    o.root_given = true;
    fs::create_directories(o.root / "Zerbanto");
    SingleInstance instance(o.root);
    EXPECT_EQ(take_data_folder(o, instance).outcome, DataFolder::Outcome::Taken);
    EXPECT_TRUE(fs::exists(o.root / "Zerbanto/.timerecorder.lock"));
}

// Too little room on the folder's disk is said, naming the folder, and the start goes on.
TEST(DataFolder, LowDiskSpaceIsAWarningOnly) {
    TempRoot root;
    Options o;
    o.root = root.path();
    SingleInstance instance(o.root);
    const DataFolder crowded = take_data_folder(o, instance, std::numeric_limits<std::uintmax_t>::max());
    EXPECT_EQ(crowded.outcome, DataFolder::Outcome::Taken);
    EXPECT_EQ(crowded.message.rfind("ディスクの空きが少なくなっています (残り ", 0), 0U) << crowded.message;
    EXPECT_NE(crowded.message.find(root.zerbanto().string()), std::string::npos);
    EXPECT_EQ(low_space_warning(root.zerbanto(), 0), "");
}

// The lock file deleted while a copy runs (by a careless clean-up, or on purpose): a second copy still finds the
// first, which holds the system folder itself.
TEST(DataFolder, DeletingTheLockFileLetsNoSecondCopyStart) {
    TempRoot root;
    Options o;
    o.root = root.path();
    SingleInstance first(o.root);
    ASSERT_EQ(take_data_folder(o, first).outcome, DataFolder::Outcome::Taken);
    fs::remove(root.zerbanto() / ".timerecorder.lock");
    SingleInstance second(o.root);
    EXPECT_EQ(take_data_folder(o, second).outcome, DataFolder::Outcome::Running);
}
