#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

#include "core/Message.h"
#include "core/WholeFile.h"

// core/WholeFile.h and core/TextFile.h for Qt's types. A QString file name
// (a dialog's) reaches the system as QFile::encodeName gives it; a name given
// as bytes (a command line's) is passed on as it is, so a name that is no
// valid UTF-8 (a Latin-1 one) is kept byte for byte.

std::string FileNameBytes(const QString& path);
inline std::string_view BytesOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// WriteFileWhole of core/WholeFile.h.
FileWriteResult WriteFileWhole(const QString& path, const QByteArray& bytes);

// The same, for a caller that shows failures: 1, or -1 after
// "File write error. -> <path>: <the system's reason>".
int WriteFileWhole(const std::string& path, std::string_view bytes, const MessageSink& messages);
int WriteFileWhole(const QString& path, const QByteArray& bytes, const MessageSink& messages);

// The bytes of a regular file read whole; false for anything else (a missing
// file, a folder, a FIFO or a device, which could block the reader forever),
// bytes then unchanged.
bool ReadFileWhole(const QString& path, QByteArray& bytes);
