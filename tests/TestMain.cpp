// Runs the tests headless with one application object for the whole executable, with the
// classes of the layers under test registered as a program registers them.
#ifdef QUOVANT_TEST_CONTROLS
#include "CtrlsReg.h"
#else
#include "Forms.h"
#endif

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
#ifdef QUOVANT_TEST_CONTROLS
    RegisterControlClasses();
#else
    RegisterFrameworkClasses();
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
