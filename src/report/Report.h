#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "analysis/Profile.h"
#include "analysis/WaferGeometry.h"
#include "colour/MapPicture.h"
#include "data/CsvImport.h"
#include "report/AnnotatedPicture.h"
#include "session/Session.h"

// A report over many files: one page per file (the annotated map, its
// figures and the X/Y diameter profiles), a summary page with one row per
// file, and the same summary as CSV text.
//
// The work per file (load, Calc, Fill, the map picture and the figures) needs
// no widgets and runs on any thread, one Session per file; the pages are
// written afterwards on the thread of the application object (a
// QGuiApplication: the pages lay out text).

// What one file gives its page and its summary row.
struct ReportEntry {
    std::string Name;   // as the page and the row name the file
    std::string Error;  // the message that stopped the file; empty when it was prepared
    AnnotatedContent Picture;
    std::vector<ProfilePoint> XProfile;
    std::vector<ProfilePoint> YProfile;
    bool ProfilesInMm = false;
    bool Failed() const { return !Error.empty(); }
};

// How each file is read and prepared.
struct ReportJob {
    ViewSettings Settings;           // the calculation parameters
    DataKind Data = DataKind::Fill;  // the record a page shows (Raw, Grid or Fill)
    MapStyle Style;
    WaferGeometry Wafer;
    bool Csv = false;  // read as a CSV table, otherwise as a .thk file
    CsvImportOptions CsvOptions;
};

// Whether a file name reads as a table to import (.csv or .txt, any case).
bool IsCsvFileName(const std::string& path);

// Loads path into session through its Open: a .thk file, or with csv the
// table through ImportCsvFile. 1, or -1 after the reader's message.
int OpenDataFile(Session& session, const std::string& path, bool csv, const CsvImportOptions& options);

// The entry of a session that holds the prepared records: the picture of the
// record of kind data with the raw sites' figures, and its diameter profiles.
ReportEntry MakeReportEntry(const std::string& name, const Session& session, DataKind data,
                            const MapStyle& style, const WaferGeometry& wafer);

// The entry of a file that failed with message.
ReportEntry FailedReportEntry(const std::string& name, const std::string& message);

// The whole work for one file with a session of its own: load, Calc and Fill
// as job.Data needs, then MakeReportEntry. A failure gives the entry of the
// first message; nothing is shown.
ReportEntry PrepareReportEntry(const std::string& path, const ReportJob& job);

// PrepareReportEntry for every path on threads threads (at least 1), in the
// order of paths. progress (may be empty) is called after each file with the
// number done and the total, from the worker threads but never two at once.
std::vector<ReportEntry> PrepareReportEntries(const std::vector<std::string>& paths, const ReportJob& job,
                                              int threads, const std::function<void(int, int)>& progress);

// The summary as CSV: the header
// "name,count,mean,min,max,range,sigma,sigma1_pct,uniformity_pct,error", then one
// line per entry; figures with 17 significant digits (C locale), the name and
// the message quoted when they hold a comma, a quote or a line break; a
// failed entry leaves the figures empty and gives its message.
std::string ReportSummaryCsv(const std::vector<ReportEntry>& entries);

// Summary rows per page of the PDF.
inline constexpr int SummaryRowsPerPage = 40;

// Writes the PDF: the summary pages first, then one page per entry (a failed
// entry's page gives its message). path is the file name as the system takes
// it (bytes). Whole or not at all: 1, or -1 after
// "File write error. -> <path>: <reason>". Needs a QGuiApplication (see above).
int WriteReportPdf(const std::string& path, const std::vector<ReportEntry>& entries, const QString& title,
                   const MessageSink& messages);
