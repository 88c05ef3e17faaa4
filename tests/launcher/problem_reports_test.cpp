// Problems told while the program runs: after the handler, one box per cause, the rest on stderr.
#include <QCoreApplication>
#include <cerrno>
#include <gtest/gtest.h>

#include "launcher/problem_reports.h"

namespace {

// Each line on standard error starts with the program's name: here the test's own.
const std::string me = std::string(program_invocation_short_name) + ": ";

TEST(ProblemReports, BoxesOpenAfterTheHandlerOncePerCauseAndRepeatsGoToStandardError)
{
    ProblemReports problems(QStringLiteral("Title"));
    QStringList boxes;
    problems.showBox = [&](const QString& text, const QString& detail) {
        boxes << text + QLatin1Char('|') + detail;
        // A problem met while a box is up waits for this one to close.
        if (boxes.size() == 1)
            problems.report(QStringLiteral("Failed to create key "), QStringLiteral("FOLDER: Not a directory"));
    };
    testing::internal::CaptureStderr();
    // A first start on a full disk: every key write fails for the same reason.
    for (const char* name : {"Key1", "Key2", "Key3", "Key4"})
        problems.report(QStringLiteral("Failed to set data for '%1'").arg(QLatin1String(name)),
                        QStringLiteral("FILE.tmp: No space left on device"));
    problems.report(QStringLiteral("Invalid data type for 'Key1'"));
    EXPECT_TRUE(boxes.isEmpty()) << "a box opened inside the handler";
    QCoreApplication::processEvents();
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxes, (QStringList{"Failed to set data for 'Key1'|FILE.tmp: No space left on device",
                                  "Invalid data type for 'Key1'|",
                                  "Failed to create key |FOLDER: Not a directory"}));
    EXPECT_EQ(printed, me + "Failed to set data for 'Key2' (FILE.tmp: No space left on device)\n" + me
                           + "Failed to set data for 'Key3' (FILE.tmp: No space left on device)\n" + me
                           + "Failed to set data for 'Key4' (FILE.tmp: No space left on device)\n");
}

// Once the program is ending no box may hold it up: what waits and what comes goes to stderr.
TEST(ProblemReports, OnceTheProgramIsEndingEveryProblemGoesToStandardError)
{
    ProblemReports problems(QStringLiteral("Title"));
    problems.showBox = [](const QString& text, const QString&) { ADD_FAILURE() << text.toStdString(); };
    testing::internal::CaptureStderr();
    problems.report(QStringLiteral("Waiting"), QStringLiteral("why"));
    problems.endBoxes();
    problems.report(QStringLiteral("Later"));
    QCoreApplication::processEvents();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), me + "Waiting (why)\n" + me + "Later\n");
}

}  // namespace
