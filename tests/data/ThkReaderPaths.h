#pragma once

#include <cstddef>
#include <string_view>

#include "core/Message.h"
#include "data/ThkData.h"

// The .thk reader's two ways through the data lines, for tests only (defined
// in ThkReader.cpp): the bytes arrive in blocks of blockSize as a file's
// blocks would, and plainLines chooses whether the lines of the common shape
// take their fast reading or, like every other line, the character scanner.
// ReadThkText is the call with one block and plainLines set.
int ReadThkTextInBlocks(std::string_view bytes, ThkData& record, std::size_t blockSize, bool plainLines,
                        const MessageSink& messages);
