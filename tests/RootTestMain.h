// main() for a test program whose every case needs root (mounts, device nodes): where the
// rights are missing it says why and exits with the status ctest reports as skipped, instead
// of passing cases it never ran.
#pragma once

#include <QApplication>
#include <QtTest>

#include <cstdio>

#include "platform/MountGuard.h"

// The exit status ctest takes for "skipped" (SKIP_RETURN_CODE, set by quelvane_add_test's
// NEEDS_ROOT); any other status is a pass or a failure as usual.
inline constexpr int kQuelvaneSkipped = 77;

// Runs the cases as QTEST_MAIN would, or exits as skipped with the reason.
#define QUELVANE_ROOT_TEST_MAIN(TestObject)                                                     \
    int main(int argc, char **argv)                                                             \
    {                                                                                           \
        QApplication app(argc, argv);                                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                \
        if (const QString why = quelvane::testing::MountGuard::Unavailable(); !why.isEmpty()) { \
            std::printf("SKIP: %s\n", qPrintable(why));                                         \
            return kQuelvaneSkipped;                                                            \
        }                                                                                       \
        TestObject tc;                                                                          \
        QTEST_SET_MAIN_SOURCE_PATH                                                              \
        return QTest::qExec(&tc, argc, argv);                                                   \
    }
