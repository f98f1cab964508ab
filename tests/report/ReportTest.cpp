#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/NumberText.h"
#include "report/PlacedText.h"
#include "report/ProfilePlot.h"
#include "report/Report.h"
#include "support/MessageRecorder.h"

namespace {

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A dome of 11 x 11 sites every 10 units on a Size-100 square.
QByteArray DomeThk(double tilt) {
    QByteArray text = "100\n10,10\n";
    for (int x = 0; x <= 100; x += 10)
        for (int y = 0; y <= 100; y += 10)
            text += QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                    QByteArray::number(500.0 + 0.01 * (x * (100 - x) + y * (100 - y)) + tilt * x, 'f', 3) +
                    ",\n";
    return text;
}

// The same kind of wafer as a measuring tool exports it: X and Y in mm from
// the centre of a 100 mm wafer, the thickness among other columns.
QByteArray DomeCsv() {
    QByteArray text = "Site,X (mm),Y (mm),Thickness,Fit\n";
    int site = 1;
    for (int x = -50; x <= 50; x += 10)
        for (int y = -50; y <= 50; y += 10)
            text += QByteArray::number(site++) + ',' + QByteArray::number(x) + ',' + QByteArray::number(y) +
                    ',' + QByteArray::number(480.0 - 0.005 * (x * x + y * y), 'f', 3) + ",1\n";
    return text;
}

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return QStringLiteral("<failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The content stream of a PDF's first page, inflated: what the page draws,
// in order.
QByteArray FirstPageContent(const QByteArray& pdf) {
    const QRegularExpressionMatch contents =
        QRegularExpression(QStringLiteral("/Contents (\\d+) 0 R")).match(QString::fromLatin1(pdf));
    if (!contents.hasMatch()) return {};
    const qsizetype object = pdf.indexOf('\n' + contents.captured(1).toLatin1() + " 0 obj");
    const qsizetype start = pdf.indexOf("stream\n", object) + 7;
    const qsizetype end = pdf.indexOf("endstream", start);
    if (object < 0 || start < 7 || end < 0) return {};
    // qUncompress takes the zlib data after its expected size (it grows a
    // short guess).
    return qUncompress(QByteArray::fromHex("00010000") + pdf.mid(start, end - start));
}

// Three files, one of them broken, prepared on two threads: the report has a
// summary page and a page per file, names every file, gives the good files'
// figures and the broken file's message, and the summary CSV has a row each.
TEST(Report, PagesAndSummaryOfGoodAndBrokenFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteText(dir.filePath("dome.thk"), DomeThk(0.1));
    WriteText(dir.filePath("broken.thk"), "100\n10,10\n10,abc,500,\n");
    WriteText(dir.filePath("wafer.csv"), DomeCsv());
    const std::vector<std::string> paths = {dir.filePath("dome.thk").toStdString(),
                                            dir.filePath("broken.thk").toStdString(),
                                            dir.filePath("wafer.csv").toStdString()};
    ReportJob job;
    job.Data = DataKind::Fill;
    job.CsvOptions.Diameter = 100.0;
    std::vector<ReportEntry> entries;
    {
        // The CSV file goes through the table reader, the others as .thk.
        ReportJob thk = job;
        std::vector<ReportEntry> some = PrepareReportEntries({paths[0], paths[1]}, thk, 2, {});
        thk.Csv = true;
        some.push_back(PrepareReportEntry(paths[2], thk));
        entries = std::move(some);
    }
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[0].Failed());
    ASSERT_TRUE(entries[1].Failed());
    EXPECT_FALSE(entries[2].Failed()) << entries[2].Error;
    EXPECT_GT(entries[0].Picture.Shown.Count, 0);
    EXPECT_FALSE(entries[0].XProfile.empty());

    const QString pdf = dir.filePath("report.pdf");
    ASSERT_EQ(WriteReportPdf(QFile::encodeName(pdf).toStdString(), entries,
                             QStringLiteral("Thickness report"), MessageRecorder()),
              1);
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n")))) << info.toStdString();
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* name : {"dome.thk", "broken.thk", "wafer.csv", "Thickness report", "Position"})
        EXPECT_TRUE(text.contains(QLatin1String(name))) << name;
    for (const ReportEntry* e : {&entries[0], &entries[2]})
        EXPECT_TRUE(text.contains(QString::fromStdString(FormatFixed(e->Picture.Shown.Mean, 8, 3))));
    EXPECT_TRUE(text.contains(QString::fromStdString(entries[1].Error).simplified().left(20)));

    const std::string csv = ReportSummaryCsv(entries);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    EXPECT_NE(csv.find("\nbroken.thk,,,,,,,,,"), std::string::npos);
    char mean[40];
    std::snprintf(mean, sizeof mean, "%.17g", entries[0].Picture.Shown.Mean);
    EXPECT_NE(csv.find("\ndome.thk," + std::to_string(entries[0].Picture.Shown.Count) + ',' + mean + ','),
              std::string::npos);
}

// The annotated picture at 2x as PNG and SVG, each file whole; a folder that
// does not exist gives the write message and no file.
TEST(Report, AnnotatedPictureWrittenWholeOrNotAtAll) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteText(dir.filePath("dome.thk"), DomeThk(0.0));
    ReportJob job;
    job.Data = DataKind::Grid;
    const ReportEntry entry = PrepareReportEntry(dir.filePath("dome.thk").toStdString(), job);
    ASSERT_FALSE(entry.Failed()) << entry.Error;

    const QString png = dir.filePath("map.png");
    ASSERT_EQ(WriteAnnotatedPicture(png, entry.Picture, 2, MessageRecorder()), 1);
    const QImage image(png);
    EXPECT_EQ(image.size(), (AnnotatedPictureSize() * 2).toSize());
    // The map's middle cell at 2x: the picture's pixel of the 1x map scaled up.
    const QPoint mapMiddle(10 + 150, 34 + 150);
    EXPECT_EQ(image.pixel(mapMiddle * 2), entry.Picture.Map.pixel(150, 150));

    const QString svg = dir.filePath("map.svg");
    ASSERT_EQ(WriteAnnotatedPicture(svg, entry.Picture, 1, MessageRecorder()), 1);
    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());

    MessageRecorder recorder;
    const QString missing = dir.filePath("no/such/folder/map.pdf");
    EXPECT_EQ(WriteAnnotatedPicture(missing, entry.Picture, 1, recorder), -1);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(recorder.Messages, std::vector<std::string>{"File write error. -> " + missing.toStdString() +
                                                          ": No such file or directory"});
}

// Labels drawn from kept glyphs write what QPainter::drawText writes: the
// same glyphs at the same places on the page, and the font metrics' advance.
// Numbers go through every pair of their characters; the origins fall
// between the 1/64 steps of glyph positions, some left of zero; the second
// round draws the texts kept in the first. A text with a tab is drawn as
// text.
TEST(Report, PlacedLabelsWriteWhatDrawTextWrites) {
    const QString numberChars = QStringLiteral("0123456789.-+");
    QString pairs;
    for (QChar a : numberChars)
        for (QChar b : numberChars)
            pairs.append(a).append(b);
    const QStringList texts = {pairs,
                               QStringLiteral("-0.125"),
                               QStringLiteral("1.5E+07"),
                               QStringLiteral("NAN"),
                               QStringLiteral("Uniformity %"),
                               QStringLiteral("film-scan.thk   Fill   AVA"),
                               QStringLiteral("Page 3 / 12"),
                               QStringLiteral("Mean: "),
                               QStringLiteral("tab\there")};
    auto write = [&](bool placed) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter pdf(&buffer);
            pdf.setResolution(96);
            QPainter painter(&pdf);
            painter.scale(96 / 72.0, 96 / 72.0);
            PlacedFonts fonts(&pdf);
            double y = 10.3;
            for (int round = 0; round < 2; ++round)
                for (int pixels : {7, 11, 14})
                    for (bool bold : {false, true}) {
                        QFont font(QStringLiteral("DejaVu Sans"));
                        font.setPixelSize(pixels);
                        font.setBold(bold);
                        painter.setFont(font);
                        PlacedFont& text = fonts.Get(font);
                        for (qsizetype i = 0; i < texts.size(); ++i) {
                            const QPointF origin(-1.0 + 0.3 * i + 0.013 * pixels, y += 1.7);
                            const PlacedFont::Line& line = text.Layout(texts[i]);
                            EXPECT_EQ(line.Advance, text.Metrics().horizontalAdvance(texts[i])) << i;
                            if (placed)
                                text.Draw(painter, origin, texts[i], line);
                            else
                                painter.drawText(origin, texts[i]);
                        }
                    }
        }
        return FirstPageContent(bytes);
    };
    const QByteArray drawn = write(false);
    ASSERT_TRUE(drawn.contains("Tj"));
    EXPECT_EQ(write(true), drawn);
}

}  // namespace

// The profile plot's ticks: round steps inside the range, ends that are
// multiples kept despite rounding, and no ticks for a range that is empty.
TEST(Report, AxisTicksAtRoundValues) {
    struct Case {
        const char* what;
        double lo, hi;
        int count;
        std::vector<double> values;
        int decimals;
    };
    const Case cases[] = {
        {"file units 0..500", 0.0, 500.0, 6, {0, 100, 200, 300, 400, 500}, 0},
        {"mm across the centre", -100.0, 100.0, 6, {-100, -50, 0, 50, 100}, 0},
        {"a padded thickness range", 1937.0, 2004.0, 5, {1940, 1950, 1960, 1970, 1980, 1990, 2000}, 0},
        {"a narrow range", 0.1, 0.35, 5, {0.1, 0.15, 0.2, 0.25, 0.3, 0.35}, 2},
        {"an empty range", 5.0, 5.0, 5, {}, 0},
        {"a reversed range", 6.0, 5.0, 5, {}, 0},
    };
    for (const Case& c : cases) {
        const AxisTickSet ticks = AxisTicks(c.lo, c.hi, c.count);
        ASSERT_EQ(ticks.Values.size(), c.values.size()) << c.what;
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_NEAR(ticks.Values[i], c.values[i], 1e-9) << c.what << " tick " << i;
        if (!c.values.empty()) EXPECT_EQ(ticks.Decimals, c.decimals) << c.what;
    }
}
