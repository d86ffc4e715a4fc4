#include "qt/QuitOnSignal.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

// SIGTERM and SIGINT end the event loop, as the Exit command does, not the process.
TEST(QuitOnSignal, TerminationSignalsEndTheEventLoop) {
    mirvane::QuitOnTerminationSignals();
    for (const int signal : {SIGTERM, SIGINT}) {
        QTimer tooLate;
        tooLate.setSingleShot(true);
        QObject::connect(&tooLate, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        tooLate.start(5000);
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << signal;
    }
}
