#include "transfer/LocalPath.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(LocalPath, MapsDriveCOntoTheRootWithoutRegardToCase) {
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", "x");
    root.write_bytes("CorTmp/K04_160714_2305.CSV", "y");
    EXPECT_EQ(localpath::map(root.path(), "c:\\zerbanto\\xE99_member.csv"), root.zerbanto() / "xE99_member.csv");
    EXPECT_EQ(localpath::map(root.path(), "C:\\Zerbanto\\e99_MEMBER.CSV"), root.zerbanto() / "E99_member.csv");
    EXPECT_EQ(localpath::map(root.path(), "C:\\cortmp\\k04_160714_2305.csv"),
              root.path() / "CorTmp" / "K04_160714_2305.CSV");
    for (const char* refused : {"d:\\zerbanto\\a.csv", "zerbanto\\a.csv", "c:/zerbanto/a.csv", "c:\\zerbanto\\..\\a",
                                "c:\\zerbanto\\\\a", "c:\\", "c:\\zerbanto\\a/b"}) {
        EXPECT_FALSE(localpath::map(root.path(), refused)) << refused;
    }
}

TEST(LocalPath, WildcardsMatchLikeTheCommandLine) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    for (const auto& c : std::initializer_list<Case>{{"*.*", "K04_160714_2305.CSV", true},
                                                     {"*.*", "README", true},
                                                     {"*.csv", "K04_160714_2305.CSV", true},
                                                     {"*.csv", "K04.CSV.bak", false},
                                                     {"K??_*.CSV", "k04_160714_2305.csv", true},
                                                     {"K??_*.CSV", "K4_160714.CSV", false},
                                                     {"E99_member.csv", "E99_member.csv", true},
                                                     {"*", "", true},
                                                     {"?", "", false}}) {
        EXPECT_EQ(localpath::matches(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
    }
}

TEST(LocalPath, ExpandsToTheRegularFilesOfTheFolderInNameOrder) {
    TempRoot root;
    root.write_bytes("cortmp/K04_b.CSV", "b");
    root.write_bytes("cortmp/K04_a.CSV", "a");
    root.write_bytes("cortmp/notes", "n");
    fs::create_directories(root.path() / "cortmp" / "folder.d");
    const std::vector<fs::path> all{root.path() / "cortmp" / "K04_a.CSV", root.path() / "cortmp" / "K04_b.CSV",
                                    root.path() / "cortmp" / "notes"};
    EXPECT_EQ(localpath::expand(root.path(), "C:\\cortmp\\*.*"), all);
    EXPECT_EQ(localpath::expand(root.path(), "C:\\cortmp\\*.CSV").size(), 2U);
    EXPECT_TRUE(localpath::expand(root.path(), "C:\\missing\\*.*").empty());
}
