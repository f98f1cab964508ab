#include "report/QtWholeFile.h"

#include <QFile>

#include "core/TextFile.h"

std::string FileNameBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

FileWriteResult WriteFileWhole(const QString& path, const QByteArray& bytes) {
    return WriteFileWhole(FileNameBytes(path), BytesOf(bytes));
}

int WriteFileWhole(const std::string& path, std::string_view bytes, const MessageSink& messages) {
    const FileWriteResult written = WriteFileWhole(path, bytes);
    if (written.Written()) return 1;
    messages.Show("File write error. -> " + path + ": " + written.Reason);
    return -1;
}

int WriteFileWhole(const QString& path, const QByteArray& bytes, const MessageSink& messages) {
    return WriteFileWhole(FileNameBytes(path), BytesOf(bytes), messages);
}

bool ReadFileWhole(const QString& path, QByteArray& bytes) {
    std::string text;
    if (!ReadTextFile(FileNameBytes(path), text)) return false;
    bytes = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    return true;
}
