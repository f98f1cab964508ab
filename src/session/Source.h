#pragma once

#include <optional>
#include <string>

#include "core/Message.h"
#include "data/CsvImport.h"
#include "data/ThkData.h"

// Where a record's Raw data come from: a .thk file, X/Y/Z text as Paste takes
// it from the clipboard, or a delimited table through the import.

enum class SourceFormat { Thk, XyzText, Csv };

struct SourceInput {
    std::string Path;  // the file, as messages name it
    SourceFormat Format = SourceFormat::Thk;
    CsvImportOptions Csv;  // how a table is read
    // The bytes when the caller has read them already (a table the Import
    // dialog previewed); Path then only names them.
    std::optional<std::string> Text;
};

// A file read as its name says: a table for ".csv" and ".txt" (any case),
// otherwise a .thk file.
SourceInput SourceOfFile(const std::string& path, const CsvImportOptions& csv = {});

// Reads the source into raw, which the caller hands over cleared. 1, or -1
// after the reader's one message with nothing to be taken from raw.
int ReadSource(const SourceInput& source, ThkData& raw, const MessageSink& messages);
