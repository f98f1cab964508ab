#include "report/Report.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>
#include <thread>

#include "analysis/AnalysisMask.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "core/RoundTripNumber.h"
#include "report/PlacedText.h"
#include "report/ProfilePlot.h"
#include "report/QtWholeFile.h"

namespace {

// The front end of a report's session: nothing to show, and the first
// message of a failing step kept for the file's row.
class CollectingFrontEnd : public SessionFrontEnd {
public:
    std::string FirstMessage;
    void ShowMap(const ThkData&, const MapPlan&) override {}
    void ShowMessageText(const std::string& text) override {
        if (FirstMessage.empty()) FirstMessage = text;
    }
};

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

QString Fixed(double value) {
    return QString::fromStdString(FormatFixed(value, 8, 3));
}

// Page geometry in points (A4 portrait).
constexpr double PageWidth = 595.0;
constexpr double PageHeight = 842.0;
constexpr double PageMargin = 36.0;
// The annotated picture is laid out at one device pixel per pixel of its 1x
// layout (700 px in 525 pt), so its map goes into the PDF as its own
// 301 x 301 pixels, neither resampled nor enlarged; a viewer enlarges it
// without smoothing.
constexpr int PdfResolution = 96;

void DrawSummaryPage(QPainter& painter, PlacedFonts& fonts, const std::vector<ReportEntry>& entries,
                     std::size_t first, const QString& title, int page, int pages) {
    static const char* const Headings[] = {"Name",  "Count", "Mean",      "Min",         "Max",
                                           "Range", "Sigma", "1 sigma %", "Uniformity %"};
    const double widths[] = {88, 48, 53, 53, 53, 44, 44, 62, 78};
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(PageMargin, PageMargin, PageWidth - 2 * PageMargin, 20),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPixelSize(9);
    painter.setFont(font);
    painter.drawText(QRectF(PageMargin, PageMargin, PageWidth - 2 * PageMargin, 20),
                     Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Summary %1 / %2").arg(page).arg(pages));
    const double rowHeight = 16.0;
    double y = PageMargin + 30;
    PlacedFont* text = &fonts.Get(font);  // of the face in use: bold, then regular
    auto drawRow = [&](const QStringList& cells) {
        double x = PageMargin;
        for (int c = 0; c < cells.size(); ++c) {
            const Qt::Alignment align = c == 0 ? Qt::AlignLeft : Qt::AlignRight;
            DrawPlacedText(painter, *text, QRectF(x + 2, y, widths[c] - 4, rowHeight),
                           align | Qt::AlignVCenter, text->ElidedMiddle(cells[c], widths[c] - 4));
            x += widths[c];
        }
        y += rowHeight;
    };
    QStringList headings;
    for (const char* h : Headings)
        headings << QString::fromLatin1(h);
    drawRow(headings);
    painter.drawLine(QPointF(PageMargin, y), QPointF(PageWidth - PageMargin, y));
    font.setBold(false);
    painter.setFont(font);
    text = &fonts.Get(font);
    const std::size_t end = std::min(entries.size(), first + SummaryRowsPerPage);
    for (std::size_t i = first; i < end; ++i) {
        const ReportEntry& e = entries[i];
        const QString name = QString::fromStdString(e.Name);
        if (e.Failed()) {
            painter.drawText(
                QRectF(PageMargin + 2, y, widths[0] - 4, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                painter.fontMetrics().elidedText(name, Qt::ElideMiddle, static_cast<int>(widths[0] - 4)));
            painter.save();
            painter.setPen(QColor(0xB0, 0, 0));
            painter.drawText(
                QRectF(PageMargin + widths[0] + 2, y, PageWidth - 2 * PageMargin - widths[0], rowHeight),
                Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(e.Error).simplified());
            painter.restore();
            y += rowHeight;
            continue;
        }
        const AreaStatistics& s = e.Picture.Shown;
        drawRow({name, QString::number(s.Count), Fixed(s.Mean), Fixed(s.Min), Fixed(s.Max), Fixed(s.Range),
                 Fixed(s.Sigma), Fixed(s.Sigma1Pct), Fixed(s.UniformityPct)});
    }
}

// bar: the colour bar to draw (the same pixels as the entry's), so that pages
// with the same colours draw one image, which the document stores once.
void DrawEntryPage(QPainter& painter, PlacedFonts& fonts, const ReportEntry& entry, const QImage& bar,
                   int page, int pages) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    painter.setFont(font);
    DrawPlacedText(painter, fonts.Get(font),
                   QRectF(PageMargin, PageMargin - 20, PageWidth - 2 * PageMargin, 14),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1 / %2").arg(page).arg(pages));
    if (entry.Failed()) {
        font.setPixelSize(14);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(PageMargin, PageMargin, PageWidth - 2 * PageMargin, 20),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(entry.Name));
        font.setPixelSize(11);
        font.setBold(false);
        painter.setFont(font);
        painter.drawText(QRectF(PageMargin, PageMargin + 30, PageWidth - 2 * PageMargin, 200),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         QStringLiteral("Not included: ") + QString::fromStdString(entry.Error));
        return;
    }
    const QSizeF picture = AnnotatedPictureSize() * (72.0 / PdfResolution);
    const double width = PageWidth - 2 * PageMargin;
    const QRectF pictureRect((PageWidth - picture.width()) / 2.0, PageMargin, picture.width(),
                             picture.height());
    AnnotatedContent content = entry.Picture;
    content.Bar = bar;
    PaintAnnotatedPicture(painter, pictureRect, content, fonts);
    // Both diameter profiles in one plot, so their shapes compare at a
    // glance (and the page lays out one set of axes).
    PaintProfilePlot(painter, QRectF(PageMargin, pictureRect.bottom() + 14, width,
                                     PageHeight - PageMargin - pictureRect.bottom() - 14),
                     QStringLiteral("Diameter profiles through the centre"),
                     {{&entry.XProfile, QStringLiteral("X profile"), QColor(32, 159, 223)},
                      {&entry.YProfile, QStringLiteral("Y profile"), QColor(230, 120, 20)}},
                     entry.ProfilesInMm, fonts);
}

}  // namespace

bool IsCsvFileName(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    return suffix == QLatin1String("csv") || suffix == QLatin1String("txt");
}

int OpenDataFile(Session& session, const std::string& path, bool csv, const CsvImportOptions& options) {
    if (!csv) return session.OpenFile(path);
    return session.Open([&](ThkData& raw, const MessageSink& messages) {
        return ImportCsvFile(path, options, raw, messages);
    });
}

ReportEntry MakeReportEntry(const std::string& name, const Session& session, DataKind data,
                            const MapStyle& style, const WaferGeometry& wafer) {
    ReportEntry entry;
    entry.Name = name;
    const ThkData& record = session.Record(data);
    AnnotatedRequest request;
    request.Style = style;
    request.Wafer = wafer;
    request.Sites = data != DataKind::Fill;
    request.FileName = QString::fromStdString(name);
    request.DataType = QString::fromLatin1(DataKindName(data));
    entry.Picture = MakeAnnotatedContent(record, &session.Record(DataKind::Raw), request);
    const WaferGeometry checked = CheckWaferGeometry(wafer) == WaferFault::None ? wafer : WaferGeometry{};
    const AnalysisMask mask(record.Size, checked);
    entry.XProfile = DiameterProfile(record, mask, ProfileAxis::X);
    entry.YProfile = DiameterProfile(record, mask, ProfileAxis::Y);
    entry.ProfilesInMm = mask.Frame().HasWafer;
    return entry;
}

ReportEntry FailedReportEntry(const std::string& name, const std::string& message) {
    ReportEntry entry;
    entry.Name = name;
    entry.Error = message.empty() ? std::string("The file could not be read.") : message;
    return entry;
}

ReportEntry PrepareReportEntry(const std::string& path, const ReportJob& job) {
    const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    CollectingFrontEnd frontEnd;
    Session session(frontEnd);
    session.Settings() = job.Settings;
    session.Settings().AutoFill = false;
    if (OpenDataFile(session, path, job.Csv, job.CsvOptions) != 1)
        return FailedReportEntry(name, frontEnd.FirstMessage);
    if (job.Data != DataKind::Raw) session.Calc();
    if (job.Data == DataKind::Fill && session.Fill() != 1)
        return FailedReportEntry(name, frontEnd.FirstMessage);
    if (!session.Record(job.Data).Valid) return FailedReportEntry(name, frontEnd.FirstMessage);
    return MakeReportEntry(name, session, job.Data, job.Style, job.Wafer);
}

std::vector<ReportEntry> PrepareReportEntries(const std::vector<std::string>& paths, const ReportJob& job,
                                              int threads, const std::function<void(int, int)>& progress) {
    std::vector<ReportEntry> entries(paths.size());
    const int total = static_cast<int>(paths.size());
    std::atomic<int> next{0};
    int done = 0;
    std::mutex progressLock;
    auto work = [&] {
        for (int i = next++; i < total; i = next++) {
            entries[static_cast<std::size_t>(i)] =
                PrepareReportEntry(paths[static_cast<std::size_t>(i)], job);
            const std::lock_guard<std::mutex> lock(progressLock);
            ++done;
            if (progress) progress(done, total);
        }
    };
    const int extra = std::clamp(threads, 1, std::max(1, total)) - 1;
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(extra));
    for (int t = 0; t < extra; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return entries;
}

std::string ReportSummaryCsv(const std::vector<ReportEntry>& entries) {
    std::string text = "name,count,mean,min,max,range,sigma,sigma1_pct,uniformity_pct,error\n";
    for (const ReportEntry& e : entries) {
        text += CsvField(e.Name);
        if (e.Failed()) {
            text += ",,,,,,,,," + CsvField(e.Error) + '\n';
            continue;
        }
        const AreaStatistics& s = e.Picture.Shown;
        text += ',' + std::to_string(s.Count);
        for (double v : {s.Mean, s.Min, s.Max, s.Range, s.Sigma, s.Sigma1Pct, s.UniformityPct}) {
            text += ',';
            AppendG17(text, v);
        }
        text += ",\n";
    }
    return text;
}

int WriteReportPdf(const std::string& path, const std::vector<ReportEntry>& entries, const QString& title,
                   const MessageSink& messages) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(PdfResolution);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Morvaplot"));
        QPainter painter(&pdf);
        // Every page is laid out in points.
        painter.scale(pdf.resolution() / 72.0, pdf.resolution() / 72.0);
        // Every label is laid out once for the whole report.
        PlacedFonts fonts(&pdf);
        const int summaryPages =
            std::max(1, static_cast<int>((entries.size() + SummaryRowsPerPage - 1) / SummaryRowsPerPage));
        const int pages = summaryPages + static_cast<int>(entries.size());
        bool firstPage = true;
        for (int p = 0; p < summaryPages; ++p) {
            if (!firstPage) pdf.newPage();
            firstPage = false;
            DrawSummaryPage(painter, fonts, entries, static_cast<std::size_t>(p) * SummaryRowsPerPage, title,
                            p + 1, summaryPages);
        }
        QImage bar;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (bar != entries[i].Picture.Bar) bar = entries[i].Picture.Bar;
            pdf.newPage();
            DrawEntryPage(painter, fonts, entries[i], bar, summaryPages + static_cast<int>(i) + 1, pages);
        }
    }
    buffer.close();
    return WriteFileWhole(path, BytesOf(bytes), messages);
}
