#pragma once

#include <string>

// Describes the OpenGL context that is current on this thread: vendor,
// renderer and version, or an empty text when no context is current.
std::string DescribeCurrentGlContext();

// The OpenGL context every GL surface gets: a 2.1 compatibility profile (the
// 3D view draws with the fixed-function pipeline; a core profile draws
// nothing) with a depth buffer. Call before the application object exists.
void SetDefaultSurfaceFormat();
