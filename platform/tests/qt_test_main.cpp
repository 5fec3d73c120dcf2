// main() for test programs whose widgets need the QApplication a host program would have.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // No test needs a display; test discovery runs without CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
