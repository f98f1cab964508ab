#include "report/Report.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "analysis/SitePairing.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "report/LotPage.h"
#include "report/ProfileChart.h"
#include "report/QtWholeFile.h"

namespace {

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

void DrawSummaryPage(QPainter& painter, const std::vector<ReportEntry>& entries, std::size_t first,
                     const QString& title, int page, int pages) {
    // Sigma and the percentages are the sample's (n - 1); "Unif. %" is
    // (max - min) / (2 mean), "Unif. m/m %" (max - min) / (max + min).
    static const char* const Headings[] = {"Name",  "Sites", "Count",     "Mean",    "Min",        "Max",
                                           "Range", "Sigma", "3 sigma %", "Unif. %", "Unif. m/m %"};
    const double widths[] = {80, 30, 40, 52, 52, 52, 42, 42, 44, 40, 49};
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
    auto drawRow = [&](const QStringList& cells) {
        double x = PageMargin;
        for (int c = 0; c < cells.size(); ++c) {
            const Qt::Alignment align = c == 0 ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(
                QRectF(x + 2, y, widths[c] - 4, rowHeight), align | Qt::AlignVCenter,
                painter.fontMetrics().elidedText(cells[c], Qt::ElideMiddle, static_cast<int>(widths[c] - 4)));
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
        drawRow({name, QString::number(e.Row.SiteCount), QString::number(s.Count), Fixed(s.Mean),
                 Fixed(s.Min), Fixed(s.Max), Fixed(s.Range), Fixed(s.Sigma), Fixed(s.Sigma3Pct),
                 Fixed(s.UniformityPct), Fixed(s.UniformityMaxMinPct)});
    }
}

// bar: the colour bar to draw (the same pixels as the entry's), so that pages
// with the same colours draw one image, which the document stores once.
// profiles: the report's chart, shown anew with this entry's profiles.
void DrawEntryPage(QPainter& painter, PageProfileChart& profiles, const ReportEntry& entry, const QImage& bar,
                   int page, int pages) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    painter.setFont(font);
    painter.drawText(QRectF(PageMargin, PageMargin - 20, PageWidth - 2 * PageMargin, 14),
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
    PaintAnnotatedPicture(painter, pictureRect, content);
    // Both diameter profiles in one chart, so their shapes compare at a
    // glance.
    profiles.Paint(painter,
                   QRectF(PageMargin, pictureRect.bottom() + 14, width,
                          PageHeight - PageMargin - pictureRect.bottom() - 14),
                   QStringLiteral("Diameter profiles through the centre"),
                   {{&entry.XProfile, QStringLiteral("X profile"), XProfileColour},
                    {&entry.YProfile, QStringLiteral("Y profile"), YProfileColour}},
                   entry.ProfilesInMm);
}

}  // namespace

AnalysisRequest ReportAnalysisRequest(const WaferGeometry& wafer) {
    AnalysisRequest request;
    request.Wafer = wafer;
    request.Profile = ProfileKind::Diameters;
    return request;
}

ReportEntry MakeReportEntry(const SummaryRow& row, const ThkData& record, const ThkData& raw,
                            const AnalysisResult& analysis, const ReportPageRequest& request) {
    ReportEntry entry;
    entry.Name = row.Name;
    entry.Row = row;
    AnnotatedRequest picture;
    picture.Style = request.Style;
    picture.Wafer = request.Wafer;
    picture.Sites = request.Data != DataKind::Fill;
    picture.FileName = QString::fromStdString(row.Name);
    picture.DataType = QString::fromLatin1(DataKindName(request.Data));
    entry.Picture = MakeAnnotatedContent(record, &raw, analysis, picture);
    entry.XProfile = analysis.Profile;
    entry.YProfile = analysis.YProfile;
    entry.ProfilesInMm = analysis.Frame.HasWafer;
    entry.Sites.Sites = SitesOf(raw, entry.Sites.Cells);
    entry.Frame = analysis.Frame;
    return entry;
}

ReportEntry FailedReportEntry(const SummaryRow& row) {
    ReportEntry entry;
    entry.Name = row.Name;
    entry.Error = row.Error;
    entry.Row = row;
    return entry;
}

std::string ReportSummaryCsv(const std::vector<ReportEntry>& entries) {
    std::vector<SummaryRow> rows;
    rows.reserve(entries.size());
    for (const ReportEntry& e : entries)
        rows.push_back(e.Row);
    return SummaryCsv(rows);
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
        const int summaryPages =
            std::max(1, static_cast<int>((entries.size() + SummaryRowsPerPage - 1) / SummaryRowsPerPage));
        const int pages = summaryPages + 1 + static_cast<int>(entries.size());
        bool firstPage = true;
        for (int p = 0; p < summaryPages; ++p) {
            if (!firstPage) pdf.newPage();
            firstPage = false;
            DrawSummaryPage(painter, entries, static_cast<std::size_t>(p) * SummaryRowsPerPage, title, p + 1,
                            summaryPages);
        }
        pdf.newPage();
        DrawLotPage(painter, entries, title, summaryPages + 1, pages);
        PageProfileChart profiles;
        QImage bar;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (bar != entries[i].Picture.Bar) bar = entries[i].Picture.Bar;
            pdf.newPage();
            DrawEntryPage(painter, profiles, entries[i], bar, summaryPages + static_cast<int>(i) + 2, pages);
        }
    }
    buffer.close();
    return WriteFileWhole(path, BytesOf(bytes), messages);
}
