#include "cli/PngFile.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

int WritePng(const QImage& image, const std::string& fileName, std::string& error) {
    QSaveFile file(QFile::decodeName(fileName.c_str()));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return -1;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        file.cancelWriting();
        return -1;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return -1;
    }
    return 1;
}
