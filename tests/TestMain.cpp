// Runs the tests headless with one application object for the whole executable, speaking
// Japanese and with the classes of the layers under test registered as a program does.
#if defined(QUOVANT_TEST_FORMS)
#include "umorvane.h"
#include "upellisk.h"
#elif defined(QUOVANT_TEST_CONTROLS)
#include "CtrlsReg.h"
#else
#include "Forms.h"
#endif

#include "internal/QtHost.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's locale says nothing about the language: the toolkit speaks Japanese anyway.
    qputenv("LC_ALL", "C.UTF-8");
    QApplication App(argc, argv);
    UseJapaneseToolkit();
#if defined(QUOVANT_TEST_FORMS)
    RegisterMorvaneClasses();
    RegisterPelliskClasses();
#elif defined(QUOVANT_TEST_CONTROLS)
    RegisterControlClasses();
#else
    RegisterFrameworkClasses();
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
