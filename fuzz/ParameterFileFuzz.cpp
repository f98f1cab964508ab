// The parameter-file (setting.dat) reader over arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "session/ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ViewSettings settings;
    MessageCounter messages;
    const int result = ReadParameterText(text, settings, messages);
    if (result == 1) {
        FUZZ_REQUIRE(messages.Messages.empty());
        // Whatever was read is written back as a file that reads the same.
        const std::string saved = ParameterFileText(settings);
        ViewSettings again;
        FUZZ_REQUIRE(ReadParameterText(saved, again, messages) == 1);
        FUZZ_REQUIRE(ParameterFileText(again) == saved);
        return 0;
    }
    FUZZ_REQUIRE(result == -1);
    FUZZ_REQUIRE(messages.Messages.size() == 1);
    FUZZ_REQUIRE(messages.Messages[0].rfind("Parameter read error.(", 0) == 0);
    return 0;
}
