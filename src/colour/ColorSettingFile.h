#pragma once

#include <string>

#include "colour/ColorScale.h"
#include "core/Message.h"

// The colour-setting file ("colorset.dat" and the files saved from the
// gradation dialog): eleven lines, "ColorCount: <n>" then "Color01: <c>" ..
// "Color10: <c>", every colour a decimal 0x00BBGGRR integer. Entries past the
// count are written and read too, so they survive a round trip.

// Reads pairs of a key word (any word, never compared; at most 127
// characters) and an integer. The first integer is the count, the next ones
// are Colors[0], Colors[1], ... up to ten; what follows the tenth is ignored.
//
// Returns the count read:
// - greater than 0 (at most 10): table.Count is the count and the colours read
//   replace the first entries of table.Colors;
// - 0 or less: returned as read, table unchanged and no message (the caller
//   treats it as a failed load).
// Failures show their messages and return -1:
// - the file cannot be opened: "<LoadColorSetting> File open error.\n -> "
//   + fileName; table unchanged;
// - no count pair, or a count above 10 (the table has ten entries):
//   "'Color Count' read error." then "Set default color setting.";
// - fewer colour pairs than the count: "'Color Setting'-No." + (colours read
//   + 1) + " read error." then "Set default color setting.";
// after either of the last two the table is the Colormap preset.
int LoadColorSetting(const std::string& fileName, GradationTable& table, const MessageSink& messages);

// The same reading over the file's content in memory (no open error).
int ReadColorSetting(const std::string& text, GradationTable& table, const MessageSink& messages);

// Writes the eleven lines whole or not at all (core/WholeFile.h), so a crash
// or a full disk never leaves a half-written file. Returns 1, or -1 after
// "<SaveColorSetting> File open error.\n -> " + fileName when the file cannot
// be written at all (no such folder, no permission, a folder of that name),
// or "<SaveColorSetting> File write error.\n -> " + fileName when writing it
// or replacing fileName fails (the old file is then left as it was).
int SaveColorSetting(const std::string& fileName, const GradationTable& table, const MessageSink& messages);
