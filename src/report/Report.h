#pragma once

#include <QString>
#include <string>
#include <vector>

#include "analysis/Analysis.h"
#include "analysis/LotFigures.h"
#include "analysis/Profile.h"
#include "analysis/SummaryRow.h"
#include "analysis/WaferGeometry.h"
#include "colour/MapPicture.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "report/AnnotatedPicture.h"

// A report over many files: one page per file (the annotated map, its
// figures and the X/Y diameter profiles), a summary page with one row per
// file, a lot page, and the same summary as CSV text. The report renders what it is
// given: each file's records and analysis come from the file job of the
// engine's steps. Making an entry needs no widgets and runs on any thread;
// the pages are written afterwards on the thread of the application object
// (a QApplication: the pages lay out text and draw the profiles with Qt
// Charts, whose items live in a graphics scene).

// What one file gives its page and its summary row.
struct ReportEntry {
    std::string Name;   // as the page and the row name the file
    std::string Error;  // the message that stopped the file; empty when it was prepared
    SummaryRow Row;
    AnnotatedContent Picture;
    std::vector<ProfilePoint> XProfile;
    std::vector<ProfilePoint> YProfile;
    bool ProfilesInMm = false;
    FileSites Sites;   // the measured sites (SitesOf the Raw record), for the lot's site map
    WaferFrame Frame;  // of the record's Size
    bool Failed() const { return !Error.empty(); }
};

// How every page shows its file.
struct ReportPageRequest {
    DataKind Data = DataKind::Fill;  // the record a page shows (Raw, Grid or Fill)
    MapStyle Style;
    WaferGeometry Wafer;
};

// The analysis a page needs of its record: the figures inside the wafer and
// both diameter profiles.
AnalysisRequest ReportAnalysisRequest(const WaferGeometry& wafer);

// The entry of a file whose record of kind request.Data is record, with the
// measured sites raw and the analysis of ReportAnalysisRequest: the picture
// of the record with the sites' figures, and its diameter profiles.
ReportEntry MakeReportEntry(const SummaryRow& row, const ThkData& record, const ThkData& raw,
                            const AnalysisResult& analysis, const ReportPageRequest& request);

// The entry of a file that failed: its row holds the message.
ReportEntry FailedReportEntry(const SummaryRow& row);

// The summary rows of the entries as CSV (SummaryCsv).
std::string ReportSummaryCsv(const std::vector<ReportEntry>& entries);

// Summary rows per page of the PDF.
inline constexpr int SummaryRowsPerPage = 40;

// Writes the PDF: the summary pages first (with each file's site count,
// 3 sigma % and both uniformity figures), the lot page (DrawLotPage), then
// one page per entry (a failed entry's page gives its message). path is the file name as the system takes
// it (bytes). Whole or not at all: 1, or -1 after
// "File write error. -> <path>: <reason>". Needs a QApplication (see above).
int WriteReportPdf(const std::string& path, const std::vector<ReportEntry>& entries, const QString& title,
                   const MessageSink& messages);
