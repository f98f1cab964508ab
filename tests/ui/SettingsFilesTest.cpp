#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <string>

#include "ui/AnalysisWindow.h"
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"
#include "ui/SettingsIni.h"

namespace {

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
}

const QByteArray Film = "100\n10,10\n0,0,5,\n100,100,7,\n";

// Settings files that are FIFOs (nothing could ever be read from them, and a
// read would wait for a writer for ever): the windows start and work with
// their defaults, and write none of them.
TEST(SettingsFiles, FifosAreNeitherReadNorReplaced) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList names = {QStringLiteral("display.dat"), QStringLiteral("recent.ini"),
                               QStringLiteral("analysis.ini")};
    for (const QString& name : names)
        ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600), 0);
    ScriptedDialogs dialogs;
    MorvaplotForms forms(dir.path(), dialogs);
    TForm1& form = *forms.Form1;
    EXPECT_TRUE(form.Chk_Sites->isChecked());
    EXPECT_TRUE(form.RecentFiles().isEmpty());
    ASSERT_EQ(form.OpenFileByPath(Write(dir, QStringLiteral("film.thk"), Film)), 1);
    form.Chk_Sites->click();
    AnalysisWindow analysis(form.Flow(), dir.path(), dialogs);
    EXPECT_EQ(analysis.Wafer().DiameterMm, 0.0);
    WaferGeometry wafer;
    wafer.DiameterMm = 100.0;
    EXPECT_TRUE(analysis.SetWafer(wafer));
    for (const QString& name : names)
        EXPECT_TRUE(S_ISFIFO(ModeOf(dir.filePath(name)))) << name.toStdString();
}

// Settings files that are links into another folder (as dotfile managers
// make them), one of them dangling: written through, the links stay links,
// and the next windows read what was kept.
TEST(SettingsFiles, LinksAreWrittenThrough) {
    QTemporaryDir dir;
    QTemporaryDir store;
    ASSERT_TRUE(dir.isValid() && store.isValid());
    const QStringList names = {QStringLiteral("setting.dat"), QStringLiteral("display.dat"),
                               QStringLiteral("recent.ini"), QStringLiteral("analysis.ini")};
    for (const QString& name : names)
        ASSERT_TRUE(QFile::link(store.filePath(name), dir.filePath(name)));
    const QString film = Write(dir, QStringLiteral("film.thk"), Film);
    ScriptedDialogs dialogs;
    {
        MorvaplotForms forms(dir.path(), dialogs);
        ASSERT_EQ(forms.Form1->OpenFileByPath(film), 1);
        forms.Form1->Chk_Sites->click();
        AnalysisWindow analysis(forms.Form1->Flow(), dir.path(), dialogs);
        WaferGeometry wafer;
        wafer.DiameterMm = 150.0;
        EXPECT_TRUE(analysis.SetWafer(wafer));
    }
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(S_ISLNK(ModeOf(dir.filePath(name))));
        EXPECT_TRUE(S_ISREG(ModeOf(store.filePath(name))));
    }
    MorvaplotForms again(dir.path(), dialogs);
    EXPECT_FALSE(again.Form1->Chk_Sites->isChecked());
    EXPECT_EQ(again.Form1->RecentFiles(), QStringList{QFileInfo(film).absoluteFilePath()});
    EXPECT_EQ(AnalysisWindow(again.Form1->Flow(), dir.path(), dialogs).Wafer().DiameterMm, 150.0);
}

// recent.ini and analysis.ini stay readable by QSettings (IniFormat), and the
// files it wrote (earlier versions wrote them through it) are read alike.
TEST(SettingsFiles, IniFilesAsQSettingsReadsAndWritesThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList names = {QStringLiteral("/data/plain.thk"),
                               QStringLiteral(" blanks around "),
                               QStringLiteral("a,comma;semicolon=equals"),
                               QStringLiteral("quote\" back\\slash"),
                               QStringLiteral("@at"),
                               QStringLiteral("@@two"),
                               QStringLiteral("@Invalid()"),
                               QStringLiteral("line\nbreak\ttab\rreturn"),
                               QString(QChar(1)) + QStringLiteral("a hex digit after a control"),
                               QStringLiteral("Messung März 膜厚 ✓")};
    const QList<QStringList> lists = {{}, {names[0]}, names, {QStringLiteral("@Invalid()")}};
    const QList<double> numbers = {0.0, 300.0, 0.1, 1.0 / 3.0, -2.5e-7, 1e300};
    for (int n = 0; n < lists.size(); ++n) {
        // Files of their own: QSettings keeps what it read of a file.
        const QStringList& list = lists[n];
        const QString ours = dir.filePath(QStringLiteral("ours%1.ini").arg(n));
        const QString theirs = dir.filePath(QStringLiteral("theirs%1.ini").arg(n));
        IniSection values{{QStringLiteral("Files"), IniListText(list)}};
        for (int i = 0; i < numbers.size(); ++i)
            values.insert(QStringLiteral("N%1").arg(i), IniDoubleText(numbers[i]));
        values.insert(QStringLiteral("On"), IniBoolText(true));
        ASSERT_TRUE(WriteIniSection(ours, QStringLiteral("S"), values));
        {
            QSettings settings(theirs, QSettings::IniFormat);
            settings.setValue(QStringLiteral("S/Files"), list);
            for (int i = 0; i < numbers.size(); ++i)
                settings.setValue(QStringLiteral("S/N%1").arg(i), numbers[i]);
            settings.setValue(QStringLiteral("S/On"), true);
        }
        const QSettings readByQt(ours, QSettings::IniFormat);
        const IniSection readByUs = ReadIniSection(theirs, QStringLiteral("S"));
        EXPECT_EQ(readByQt.value(QStringLiteral("S/Files")).toStringList(), list);
        EXPECT_EQ(IniStringList(readByUs.value(QStringLiteral("Files"))), list);
        for (int i = 0; i < numbers.size(); ++i) {
            EXPECT_EQ(readByQt.value(QStringLiteral("S/N%1").arg(i)).toDouble(), numbers[i]);
            EXPECT_EQ(IniDouble(readByUs.value(QStringLiteral("N%1").arg(i)), -1.0), numbers[i]);
        }
        EXPECT_TRUE(readByQt.value(QStringLiteral("S/On")).toBool());
        EXPECT_TRUE(IniBool(readByUs.value(QStringLiteral("On"))));
    }
}

}  // namespace
