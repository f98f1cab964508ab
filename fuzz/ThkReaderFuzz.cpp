// The .thk reader over arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "FuzzCheck.h"
#include "data/ThkReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One record for the whole run: it is 2 MB, and clearing it is the
    // caller's duty anyway.
    static const std::unique_ptr<ThkData> record = std::make_unique<ThkData>();
    static bool cleared = false;
    if (!cleared) ClearThkData(record.get(), 1);
    cleared = false;

    MessageCounter messages;
    const int result =
        ReadThkText(std::string_view(reinterpret_cast<const char*>(data), size), *record, messages);
    if (result == 1) {
        FUZZ_REQUIRE(messages.Messages.empty());
        FUZZ_REQUIRE(record->Count >= 1);
        FUZZ_REQUIRE(record->Size >= 1 && record->Size <= ThkMaxSize);
        FUZZ_REQUIRE(record->PitchX >= 1 && record->PitchX <= record->Size);
        FUZZ_REQUIRE(record->PitchY >= 1 && record->PitchY <= record->Size);
        RequireConsistentStatistics(*record);
        return 0;
    }
    FUZZ_REQUIRE(result == -1);
    FUZZ_REQUIRE(messages.Messages.size() == 1);
    FUZZ_REQUIRE(Readable(messages.Messages[0]));
    FUZZ_REQUIRE(!record->Valid);
    ClearThkData(record.get(), 1);
    RequireCleared(*record);
    cleared = true;
    return 0;
}
