#include "qt/LineAccessibility.h"

#include <QApplication>

#include <gtest/gtest.h>

// Window tests run in Qt's offscreen platform unless a display is asked for.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    mirvane::InstallLineAccessibility(); // as the program does, before any window
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
