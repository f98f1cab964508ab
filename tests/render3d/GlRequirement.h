#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>

// OpenGL pictures need a platform with windows: Qt cannot show a GL widget on
// the "offscreen" platform.
inline bool GlPlatformAvailable() {
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

// Skips a test that needs OpenGL where no display exists. The test script
// provides a display and sets REQUIRE_GL, so there a skip becomes a failure.
#define SKIP_OR_FAIL_WITHOUT_GL()                                                                    \
    do {                                                                                             \
        if (!GlPlatformAvailable()) {                                                                \
            if (qEnvironmentVariableIsSet("REQUIRE_GL"))                                             \
                FAIL() << "OpenGL was required but Qt runs offscreen";                               \
            GTEST_SKIP() << "no display: OpenGL pictures cannot be drawn on the offscreen platform"; \
        }                                                                                            \
    } while (false)
