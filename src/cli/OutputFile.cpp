#include "cli/OutputFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <string_view>

#include "core/WholeFile.h"
#include "report/QtWholeFile.h"

namespace {

int WriteBytes(std::string_view bytes, const std::string& fileName, std::string& error) {
    const FileWriteResult written = WriteFileWhole(fileName, bytes);
    if (written.Written()) return 1;
    error = written.Reason;
    return -1;
}

}  // namespace

int WritePng(const QImage& image, const std::string& fileName, std::string& error) {
    // Encoded in memory first: the file then gets the whole picture in one
    // checked write, and the encoder never sees a failing device.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        return -1;
    }
    buffer.close();
    return WriteBytes(BytesOf(bytes), fileName, error);
}

int WriteText(const std::string& text, const std::string& fileName, std::string& error) {
    return WriteBytes(text, fileName, error);
}
