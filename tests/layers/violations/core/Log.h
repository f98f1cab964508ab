#pragma once

#include <string>

void Log(const std::string& text);
