#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/FileJob.h"

namespace {

using Names = std::vector<std::string>;

// Summary rows must be told apart: a file name alone where it is unique,
// otherwise as many folders as it takes; the same file twice is one name.
TEST(FileJob, RowsNamedByTheShortestDistinguishingPath) {
    struct Case {
        const char* what;
        Names paths;
        Names names;
    };
    const Case cases[] = {
        {"unique names", {"/data/a.thk", "b.thk"}, {"a.thk", "b.thk"}},
        {"same name in two lots",
         {"/d/lot1/w01.thk", "/d/lot2/w01.thk", "/d/lot2/w02.thk"},
         {"lot1/w01.thk", "lot2/w01.thk", "w02.thk"}},
        {"same folder name deeper", {"/x/lot/w.thk", "/y/lot/w.thk"}, {"x/lot/w.thk", "y/lot/w.thk"}},
        {"relative beside absolute", {"w.thk", "/lot/w.thk"}, {"w.thk", "lot/w.thk"}},
        {"the same file twice", {"lot/w.thk", "lot/w.thk"}, {"w.thk", "w.thk"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DistinguishingNames(c.paths), c.names);
    }
}

}  // namespace
