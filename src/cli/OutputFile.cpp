#include "cli/OutputFile.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <functional>

namespace {

// write puts the content into the open file and returns the reason of a
// failure (empty for success).
int WriteThrough(const std::string& fileName, const std::function<QString(QSaveFile&)>& write,
                 std::string& error) {
    QSaveFile file(QFile::decodeName(fileName.c_str()));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return -1;
    }
    const QString failure = write(file);
    if (!failure.isEmpty()) {
        error = failure.toStdString();
        file.cancelWriting();
        return -1;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return -1;
    }
    return 1;
}

}  // namespace

int WritePng(const QImage& image, const std::string& fileName, std::string& error) {
    return WriteThrough(
        fileName,
        [&image](QSaveFile& file) {
            QImageWriter writer(&file, "png");
            return writer.write(image) ? QString() : writer.errorString();
        },
        error);
}

int WriteText(const std::string& text, const std::string& fileName, std::string& error) {
    return WriteThrough(
        fileName,
        [&text](QSaveFile& file) {
            const auto size = static_cast<qint64>(text.size());
            return file.write(text.data(), size) == size ? QString() : file.errorString();
        },
        error);
}
