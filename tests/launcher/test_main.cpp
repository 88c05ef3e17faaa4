// The widget suites need one QApplication for the whole run; listing the tests needs none.
#include <QApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform says of every raise and keyboard grab that it cannot do it.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    standardHandler = qInstallMessageHandler(quietOffscreen);
    return RUN_ALL_TESTS();
}
