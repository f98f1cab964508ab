#include "session/Source.h"

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

int ReadSource(const SourceInput& source, ThkData& raw, const MessageSink& messages) {
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
