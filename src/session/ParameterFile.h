#pragma once

#include <string>

#include "core/Message.h"
#include "data/ViewSettings.h"

// "setting.dat": the operating parameters as 26 lines of a key word and a
// value, in a fixed order. Reading is by position only, so the key words may
// be anything (translated, any length); the order is the format.

// The 26 lines for settings: colours as decimal 0x00BBGGRR integers, switches
// as 0 or 1, the search radius with one decimal and the weight power with
// two. Lines end in a line feed.
std::string ParameterFileText(const ViewSettings& settings);

// Writes ParameterFileText whole or not at all (core/WholeFile.h). 1, or -1
// after "<SaveParameter> File open error.".
int SaveParameterFile(const std::string& path, const ViewSettings& settings, const MessageSink& messages);

// Reads path into settings, each value stored as soon as it was read (the
// colours and the show switches as groups). A switch is on only for the
// value 1. A number outside the parameter's limits (ParameterLimits.h;
// colours and switches take any integer) stores that parameter's default and
// the reading goes on. 1, or -1 after one message: "<LoadParameter> File open
// error.", the read error of the first line that does not hold a word and a
// number (what was stored before it stays), or, with every line read,
// "Parameter read error.(<name>: out of range, the default is used)" for the
// first line out of its limits.
int LoadParameterFile(const std::string& path, ViewSettings& settings, const MessageSink& messages);

// The same reading over the file's content in memory (no open error).
int ReadParameterText(const std::string& text, ViewSettings& settings, const MessageSink& messages);
