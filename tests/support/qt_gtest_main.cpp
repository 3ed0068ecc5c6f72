// gtest main for the Qt test programs: every test runs inside the panel's own
// application object, so handler errors reach the standard error box as in
// the running program.
#include <gtest/gtest.h>

#include "app/application.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    qz7::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
