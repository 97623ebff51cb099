// Runs GoogleTest inside the program's application object, so that widget tests see the
// same event dispatch (and top-level error report) as the program.
#include "platform/qt/ErrorReport.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs the program without the test environment; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    plotalon::TApplication app(argc, argv);
    plotalon::SetApplicationTitle(QStringLiteral("Plotalon"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
