// The colour-setting reader over arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "colour/ColorSettingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    GradationTable before;
    before.Count = 3;
    for (int i = 0; i < GradationMaxColors; ++i)
        before.Colors[static_cast<std::size_t>(i)] = static_cast<Color>(0x010101 * (i + 1));
    GradationTable table = before;

    MessageCounter messages;
    const int result = ReadColorSetting(text, table, messages);
    const auto& shown = messages.Messages;
    if (shown.empty()) {
        // A count read: 1..10 takes the table, anything less leaves it alone.
        FUZZ_REQUIRE(result <= GradationMaxColors);
        if (result > 0) {
            FUZZ_REQUIRE(table.Count == result);
        } else {
            FUZZ_REQUIRE(table.Count == before.Count && table.Colors == before.Colors);
        }
        return 0;
    }
    // A refusal: its reason, then the fall-back to the preset.
    FUZZ_REQUIRE(result == -1);
    FUZZ_REQUIRE(shown.size() == 2);
    FUZZ_REQUIRE(shown[0] == "'Color Count' read error." ||
                 (shown[0].rfind("'Color Setting'-No.", 0) == 0 && Readable(shown[0])));
    FUZZ_REQUIRE(shown[1] == "Set default color setting.");
    const GradationTable preset = ColormapPreset();
    FUZZ_REQUIRE(table.Count == preset.Count && table.Colors == preset.Colors);
    return 0;
}
