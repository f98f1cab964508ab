#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/SitePairing.h"

namespace {

// Positions in cells, tolerance 0.5; partners as indices into second (-1:
// none).
struct PairingCase {
    std::string Label;
    std::vector<CellPosition> First;
    std::vector<CellPosition> Second;
    std::vector<int> Partner;
};

TEST(SitePairing, NearerWinsTiesGoToTheFirstInFileOrder) {
    const std::vector<PairingCase> cases = {
        {"exact pairs in another order",
         {{10, 10}, {20, 20}, {30, 30}},
         {{30, 30}, {10, 10}, {20, 20}},
         {1, 2, 0}},
        {"a site outside the tolerance", {{10, 10}, {20, 20}}, {{10.6, 10}, {20, 20}}, {-1, 1}},
        {"on the tolerance is inside", {{10, 10}}, {{10.5, 10}}, {0}},
        {"two candidates: the nearer wins", {{10, 10}}, {{10.4, 10}, {10, 10.1}}, {1}},
        {"two candidates at one distance: the first in file order",
         {{10, 10}},
         {{10.25, 10}, {9.75, 10}},
         {0}},
        {"two sites want one: the nearer keeps it", {{10, 10}, {10.3, 10}}, {{10.2, 10}}, {-1, 0}},
        {"two sites equally near one: the first in file order",
         {{9.75, 10}, {10.25, 10}},
         {{10, 10}},
         {0, -1}},
        {"the loser takes its next candidate", {{10, 10}, {10.25, 10}}, {{10.25, 10}, {9.75, 10}}, {1, 0}},
        {"across a bucket edge", {{0.99, 0.99}}, {{1.01, 1.01}}, {0}},
        {"nothing to pair with", {{1, 1}}, {}, {-1}},
    };
    for (const PairingCase& c : cases)
        EXPECT_EQ(MatchSites(c.First, c.Second, 0.5), c.Partner) << c.Label;
}

}  // namespace
