#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/VectorPath.h"

// The forced runs of the twin tests set the switch; this checks that the
// engine then really takes the path named (on a processor that has it).
TEST(VectorPath, FollowsTheSwitch) {
    const char* asked = std::getenv("MORVAPLOT_VECTOR_PATH");
    const std::string name = asked != nullptr ? asked : "";
    if (name == "baseline") {
        EXPECT_EQ(ActiveVectorPath(), VectorPath::Baseline);
    } else if (name == "avx2") {
        EXPECT_LE(ActiveVectorPath(), VectorPath::Avx2);
        EXPECT_NE(ActiveVectorPath(), VectorPath::Avx512);
    } else {
        GTEST_SKIP() << "no path forced";
    }
}
