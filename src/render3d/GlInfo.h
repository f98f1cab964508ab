#pragma once

#include <string>

// Describes the OpenGL context that is current on this thread: vendor,
// renderer and version, or an empty text when no context is current.
std::string DescribeCurrentGlContext();
