#pragma once

#include <string>

#include "core/Message.h"
#include "data/ThkData.h"

// Converts TAB-separated X/Y/Z text (as pasted from the clipboard, UTF-8) into
// the record, which it clears first.
//
// Layout: lines end in CR, LF or CR LF (each pair once). Lines before the first
// one holding a TAB are skipped; that header line's first field is the Size
// (1..500, fraction dropped: "12.5" is 12) and its other fields are ignored.
// Every later line with a line break is "X TAB Y TAB Z": X and Y from 0 to Size,
// stored at Value[int X][int Y]. Fields take only 0-9, "-", ".", "e" and "E";
// an empty field is 0; tokens are at most 63 characters. A data line without a
// TAB is skipped silently; one with a single TAB is reported and skipped; a
// line still open at the end of the text is
// data all the same. A number on a line of its own before the first line with
// a TAB, followed by a line that reads as a point, is a Size line that lost
// its TAB: "The Size line must end with a TAB. -> '<number>' Line: <n>".
// Line numbers in messages
// count every line of the text from 1. A Z that is not finite or lies beyond
// the float range (|Z| > FLT_MAX) is refused with "Incorrect Z data.(<token>)
// Line: <n>". A refused NUL byte is shown as "Data error. -> '' Line: <n>".
//
// Returns the number of values stored (repeats included), with the record
// Valid (without a Unit), PitchX = PitchY = 1, Min/Max over the values as read (99999/-99999
// when there is none), Mean and Sigma over the cells and the ratio/percentage
// fields. Any other fault shows one message to messages and returns -1
// with whatever was written so far left in the record.
int ConvertXYZToThkData(const std::string& text, ThkData& record, const MessageSink& messages);

// Paste: X/Y/Z text as the clipboard hands it over. An empty text shows "Data
// nothing on Clipboard.", a text without any point "Data error.( Too few data
// count. )"; 1 when ConvertXYZToThkData stored at least one
// value, else -1.
int PasteXyzText(const std::string& text, ThkData& record, const MessageSink& messages);

// X/Y/Z text from a file: its bytes up to the first NUL, converted as Paste
// converts the clipboard's text. 1, or -1 after "File open error. -> <path>"
// or the conversion's message.
int ReadXyzFile(const std::string& path, ThkData& record, const MessageSink& messages);
