#pragma once

#include <string>

class QImage;

// Files the tool writes. Each goes through a temporary file that replaces
// fileName only when complete, so a failure leaves an old file as it was.
// Both return 1, or -1 with the reason in error.

int WritePng(const QImage& image, const std::string& fileName, std::string& error);
int WriteText(const std::string& text, const std::string& fileName, std::string& error);
