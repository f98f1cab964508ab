#pragma once

#include <string>

class QImage;

// Writes the image as PNG through a temporary file that replaces fileName only
// when complete. Returns 1, or -1 with the reason in error.
int WritePng(const QImage& image, const std::string& fileName, std::string& error);
