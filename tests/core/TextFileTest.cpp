#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/TextFile.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(TextFile, AFolderIsNoText) {
    TempDir temp;
    fs::create_directories(temp.Root() / "taken.dat" / "inside");
    std::string text = "kept";
    EXPECT_FALSE(ReadTextFile(temp.PathOf("taken.dat"), text));
    EXPECT_EQ(text, "kept");
}

}  // namespace
