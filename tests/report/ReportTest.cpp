#include <gtest/gtest.h>

#include <cmath>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/ReportCommand.h"
#include "core/NumberText.h"
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
    FileJobRequest job;
    job.Data = DataKind::Fill;
    job.Analysis = ReportAnalysisRequest({});
    // The CSV file goes through the table reader, the others as .thk; its
    // figures and profiles take its wafer.
    std::vector<ReportEntry> entries =
        PrepareReportEntries({SourceOfFile(paths[0]), SourceOfFile(paths[1])}, job, {}, 2, {});
    CsvImportOptions table;
    table.Diameter = 100.0;
    ReportPageRequest onWafer;
    onWafer.Wafer.DiameterMm = 100.0;
    FileJobRequest waferJob = job;
    waferJob.Analysis = ReportAnalysisRequest(onWafer.Wafer);
    entries.push_back(
        PrepareReportEntries({SourceOfFile(paths[2], table)}, waferJob, onWafer, 1, {}).front());
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
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n")))) << info.toStdString();
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* name : {"dome.thk", "broken.thk", "wafer.csv", "Thickness report", "Position"})
        EXPECT_TRUE(text.contains(QLatin1String(name))) << name;
    for (const ReportEntry* e : {&entries[0], &entries[2]})
        EXPECT_TRUE(text.contains(QString::fromStdString(FormatFixed(e->Picture.Shown.Mean, 8, 3))));
    EXPECT_TRUE(text.contains(QString::fromStdString(entries[1].Error).simplified().left(20)));
    // The lot page after the summary: the good files' means, their mean and
    // sample sigma (n - 1 = 1), the trend chart and its axis.
    const double m0 = entries[0].Row.Figures.Mean, m2 = entries[2].Row.Figures.Mean;
    const double lotMean = (m0 + m2) / 2.0;
    const double lotSigma = std::sqrt((m0 - lotMean) * (m0 - lotMean) + (m2 - lotMean) * (m2 - lotMean));
    const QString lotPage =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"), QStringLiteral("2"),
                 QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const std::string& t :
         {std::string("Mean of the means"), FormatFixed(lotMean, 8, 3), FormatFixed(lotSigma, 8, 3),
          FormatFixed(std::abs(m2 - m0), 8, 3), std::string("File (order given)"), std::string("Lot 2 / 5")})
        EXPECT_TRUE(lotPage.contains(QString::fromStdString(t))) << t;
    EXPECT_TRUE(text.contains(QLatin1String("3 sigma %")) && text.contains(QLatin1String("Sites")));
    // One chart draws every page's profiles, here of the dome, of a record
    // without profiles (no cell on the centre lines) and of the wafer: each
    // page's axes name its own unit, an empty chart has none, nothing of an
    // earlier page's is left and the legend names both profiles. (The text
    // comes back with the "fi" ligature the layout chose.)
    ReportEntry bare = entries[0];
    bare.XProfile.clear();
    bare.YProfile.clear();
    const QString charts = dir.filePath("charts.pdf");
    ASSERT_EQ(WriteReportPdf(QFile::encodeName(charts).toStdString(), {entries[0], bare, entries[2]},
                             QStringLiteral("Charts"), MessageRecorder()),
              1);
    auto pageText = [&](int page) {
        const QString n = QString::number(page);
        return RunTool(QStringLiteral("pdftotext"),
                       {QStringLiteral("-f"), n, QStringLiteral("-l"), n, charts, QStringLiteral("-")})
            .normalized(QString::NormalizationForm_KC);
    };
    EXPECT_TRUE(pageText(3).contains(QLatin1String("Position (file units)")));
    EXPECT_FALSE(pageText(4).contains(QLatin1String("Position")));
    const QString waferPage = pageText(5);
    EXPECT_TRUE(waferPage.contains(QLatin1String("Position (mm)")));
    EXPECT_FALSE(waferPage.contains(QLatin1String("file units")));
    EXPECT_TRUE(waferPage.contains(QLatin1String("X profile")) &&
                waferPage.contains(QLatin1String("Y profile")));

    const std::string csv = ReportSummaryCsv(entries);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    EXPECT_NE(csv.find("\nbroken.thk,,,,,,,,,,,,"), std::string::npos);
    char mean[40];
    std::snprintf(mean, sizeof mean, "%.17g", entries[0].Picture.Shown.Mean);
    // Size, cells, then the 121 measured sites of the 11 x 11 lattice.
    EXPECT_NE(
        csv.find("\ndome.thk,100," + std::to_string(entries[0].Picture.Shown.Count) + ",121," + mean + ','),
        std::string::npos);
}

// The annotated picture at 2x as PNG and SVG, each file whole; a folder that
// does not exist gives the write message and no file.
TEST(Report, AnnotatedPictureWrittenWholeOrNotAtAll) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteText(dir.filePath("dome.thk"), DomeThk(0.0));
    FileJobRequest job;
    job.Data = DataKind::Grid;
    job.Analysis = ReportAnalysisRequest({});
    ReportPageRequest page;
    page.Data = DataKind::Grid;
    const ReportEntry entry =
        PrepareReportEntries({SourceOfFile(dir.filePath("dome.thk").toStdString())}, job, page, 1, {})
            .front();
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

}  // namespace
