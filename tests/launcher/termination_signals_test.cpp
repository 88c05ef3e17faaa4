// A signal from the session reaches the program as an event of its loop, never inside the
// signal handler, for each of the signals it takes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <csignal>

#include "termination_signals.h"

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
