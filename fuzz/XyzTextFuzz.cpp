// The X/Y/Z text conversion (clipboard text) over arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "data/XyzText.h"

namespace {

// A data line with a single TAB is reported and skipped; the conversion goes
// on, so these notices may stand before the result.
bool IsSkipNotice(const std::string& text) {
    return text.rfind("Data count error.(Must be 'X','Y','Z') Line: ", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<ThkData> record = std::make_unique<ThkData>();
    const std::string text(reinterpret_cast<const char*>(data), size);

    MessageCounter messages;
    const int result = ConvertXYZToThkData(text, *record, messages);
    const auto& shown = messages.Messages;
    for (const std::string& m : shown)
        FUZZ_REQUIRE(Readable(m));
    if (result >= 0) {
        for (const std::string& m : shown)
            FUZZ_REQUIRE(IsSkipNotice(m));
        FUZZ_REQUIRE(record->Count == result);
        FUZZ_REQUIRE(record->Size >= 1 && record->Size <= ThkMaxSize);
        RequireConsistentStatistics(*record);
        return 0;
    }
    FUZZ_REQUIRE(result == -1);
    // Exactly one refusal, after any skip notices.
    FUZZ_REQUIRE(!shown.empty() && !IsSkipNotice(shown.back()));
    for (std::size_t i = 0; i + 1 < shown.size(); ++i)
        FUZZ_REQUIRE(IsSkipNotice(shown[i]));
    FUZZ_REQUIRE(!record->Valid);
    ClearThkData(record.get(), 1);
    RequireCleared(*record);
    return 0;
}
