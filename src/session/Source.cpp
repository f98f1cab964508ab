#include "session/Source.h"

#include <cstdio>
#include <string_view>

#include "core/TextFile.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"

SourceInput SourceOfFile(const std::string& path, const CsvImportOptions& csv) {
    SourceInput source;
    source.Path = path;
    if (IsCsvFileName(path)) {
        source.Format = SourceFormat::Csv;
        source.Csv = csv;
    }
    return source;
}

namespace {

// Whether bytes start as UTF-16 text does: its byte-order mark either way.
bool LooksUtf16(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

// The first two bytes of a file; empty when it cannot be read (the reader
// then says so itself).
std::string FirstBytes(const std::string& path) {
    std::FILE* file = OpenRegularFile(path);
    if (!file) return {};
    char bytes[2] = {};
    const std::size_t n = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    return std::string(bytes, n);
}

}  // namespace

int ReadSource(const SourceInput& source, ThkData& raw, const MessageSink& messages) {
    // Every reader takes UTF-8 (or ASCII); UTF-16, as some editors save a
    // table, would read as one error per character.
    const std::string start = source.Text ? source.Text->substr(0, 2) : FirstBytes(source.Path);
    if (LooksUtf16(start)) {
        messages.Show("The file is UTF-16 text: save it as UTF-8. -> " + source.Path);
        return -1;
    }
    switch (source.Format) {
        case SourceFormat::Csv:
            return source.Text ? ImportCsvText(*source.Text, source.Csv, raw, messages)
                               : ImportCsvFile(source.Path, source.Csv, raw, messages);
        case SourceFormat::XyzText:
            return source.Text ? PasteXyzText(*source.Text, raw, messages)
                               : ReadXyzFile(source.Path, raw, messages);
        case SourceFormat::Thk:
            break;
    }
    if (source.Path.empty()) {
        messages.Show("<OpenThkData> Filename is NULL.");
        return -1;
    }
    return ReadThkFile(source.Path, raw, messages);
}
