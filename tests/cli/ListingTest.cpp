#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "cli/Listing.h"
#include "support/RecordFactory.h"

namespace {

std::string ToCharsG17(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

constexpr double Inf = std::numeric_limits<double>::infinity();

// The cell listing as it was written line by line with std::to_chars.
std::string PlainCellListing(const ThkData& record) {
    std::string out;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            out += std::to_string(x) + '\t' + std::to_string(y) + '\t' + ToCharsG17(v) + '\n';
        }
    }
    return out;
}

TEST(Listing, CellListingIsThePlainListingsText) {
    // Values of every kind, some cells empty or NaN (not listed), text already
    // in out; every cell filled (two threads, many pieces) and every 37th.
    std::mt19937_64 random(7);
    const double specials[] = {NoData,
                               std::nextafter(NoData, 0.0),
                               -0.0,
                               0.0,
                               Inf,
                               -Inf,
                               std::numeric_limits<double>::quiet_NaN(),
                               1e17,
                               1e-5,
                               -123.457};
    for (const int every : {1, 37}) {
        auto record = NewRecord();
        for (int x = 0; x < ThkGridDim; ++x) {
            for (int y = 0; y < ThkGridDim; ++y) {
                const std::uint64_t r = random();
                double& v = record->Value[x][y];
                if ((x * ThkGridDim + y) % every != 0) continue;
                if (r % 17 == 0)
                    v = specials[r / 17 % std::size(specials)];
                else
                    v = std::ldexp(static_cast<double>(r >> 11), -45);  // 0 .. 256
            }
        }
        const std::string plain = PlainCellListing(*record);
        std::string listing = "Radius\t20\n";
        AppendCellListing(listing, *record);
        EXPECT_TRUE(listing == "Radius\t20\n" + plain) << every;

        std::string pieces;
        WriteCellListing(*record, [&](const char* text, std::size_t size) {
            EXPECT_EQ(text[size - 1], '\n') << every;  // whole lines only
            pieces.append(text, size);
        });
        EXPECT_TRUE(pieces == plain) << every;
    }
}

}  // namespace
