#pragma once

#include <string>

class QImage;

// Files the tool writes, whole or not at all (core/WholeFile.h: a failure
// leaves an old file as it was; a device such as /dev/null or a FIFO is
// written into). fileName is the command line's bytes. Both return 1, or -1
// with the reason in error (the system's text, e.g. "No space left on device").

int WritePng(const QImage& image, const std::string& fileName, std::string& error);
int WriteText(const std::string& text, const std::string& fileName, std::string& error);
