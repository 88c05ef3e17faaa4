// A signal from the session reaches the program as an event of its loop, never inside the
// signal handler, for each of the signals it takes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "launcher/termination_signals.h"

TEST(TerminationSignals, EachSignalRunsTheHandlerFromTheEventLoop)
{
    int runs = 0;
    TerminationSignals termination([&runs] { ++runs; });
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        const int before = runs;
        ASSERT_EQ(std::raise(signal), 0);
        // The handler only wrote to the pipe: nothing has run yet.
        EXPECT_EQ(runs, before) << signal;
        EXPECT_TRUE(QTest::qWaitFor([&] { return runs == before + 1; }, 2000)) << signal;
    }
}

// A box runs an event loop of its own, and the program's close would wait for it: a signal that
// comes while one is up dismisses it first (the --replay box for a file that is not there).
TEST(TerminationSignals, ASignalDismissesTheOpenBoxBeforeTheHandlerRuns)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Title"), QStringLiteral("The replay cannot be played."));
    bool boxUpAtHandler = true;
    TerminationSignals termination([&] { boxUpAtHandler = box.isVisible(); });
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    // Should the box stay, it goes all the same a while later, and the test fails.
    bool stayed = false;
    QTimer::singleShot(3000, &box, [&] {
        stayed = true;
        box.reject();
    });
    box.exec();
    EXPECT_FALSE(stayed);
    EXPECT_FALSE(boxUpAtHandler);
    EXPECT_TRUE(termination.received());
}
