#include "core/Paths.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Files are found whatever the case of their names, as on the platform they come from.
TEST(Paths, NamesMatchWithoutRegardToCase) {
    TempRoot root;
    root.write_bytes("zerbanto/klog_t01.CSV", "x");
    const Paths paths(root.path());
    EXPECT_EQ(paths.attendance_log("T01"), root.path() / "zerbanto" / "klog_t01.CSV");
    EXPECT_EQ(paths.file("new.txt"), root.path() / "zerbanto" / "new.txt");
}

// A store code comes from the settings file or the keyboard; whatever it holds, the files it names stay in
// their folder.
TEST(Paths, AStoreCodeNeverLeadsOutOfTheFolder) {
    TempRoot root;
    const Paths paths(root.path());
    const fs::path folder = root.path() / "zerbanto";
    for (const std::string& code : {std::string("../../etc/x"), std::string("a/b"),
                                    std::string("T0\0"
                                                "1",
                                                4),
                                    std::string("/")}) {
        SCOPED_TRACE(code);
        const fs::path log = paths.attendance_log(code);
        EXPECT_EQ(log.parent_path(), folder);
        EXPECT_EQ(log.filename().string().find('/'), std::string::npos);
        EXPECT_EQ(log.filename().string().find('\0'), std::string::npos);
    }
    EXPECT_EQ(paths.attendance_log("../x").filename(), "KLOG_.._x.csv");
    EXPECT_EQ(resolve_case_insensitive(folder, "..").parent_path(), folder);
    EXPECT_EQ(resolve_case_insensitive(folder, "").parent_path(), folder);
}
