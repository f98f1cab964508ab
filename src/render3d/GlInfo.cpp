#include "render3d/GlInfo.h"

#include <GL/gl.h>

std::string DescribeCurrentGlContext() {
    const auto* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!vendor || !renderer || !version) return {};
    return std::string(vendor) + " / " + renderer + " / " + version;
}
