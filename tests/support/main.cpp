#if __has_include("toolkit/application.h")
#include "toolkit/application.h"
#define PIKUTA_TEST_TOOLKIT 1
#endif

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The platform layer's tests see no toolkit (nor its look and fonts): nothing there uses it.
#ifdef PIKUTA_TEST_TOOLKIT
    tk::init_application(app);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
