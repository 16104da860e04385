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

#include "TestSupport.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    TestSupport::Start(argc, argv);
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
