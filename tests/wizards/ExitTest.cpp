// Every way of ending a program ends its process with a clean exit: the programs' own entry,
// built with a driver that plays the user (ExitDriver.cpp), runs to its end in a child
// process under the C locale, static teardown included. Ended from outside while it writes the
// hand-off file, a program leaves the old file and no temporary one.
#include "TempDir.h"
#include "TestDriver.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

enum class THandOff { Kept, Gone, Written };

struct TExitCase {
    const char* Program;
    const char* Scenario;
    THandOff HandOff;
    int ExitCode = 0; // negative: ended by the system's request, with that code
};

const int Killed = -TestDriver::EndRequestCode();

const TExitCase Cases[] = {
    {"morvane", "execute", THandOff::Written},     {"morvane", "mapping-cancel", THandOff::Gone},
    {"morvane", "bottom-cancel", THandOff::Gone},  {"morvane", "close-box", THandOff::Kept},
    {"morvane", "dialog-cancel", THandOff::Gone},  {"morvane", "empty-file", THandOff::Kept},
    {"morvane", "form-fails", THandOff::Kept, 1},  {"pellisk", "execute", THandOff::Written},
    {"pellisk", "mapping-cancel", THandOff::Kept}, {"pellisk", "bottom-cancel", THandOff::Gone},
    {"pellisk", "close-box", THandOff::Kept},      {"pellisk", "dialog-cancel", THandOff::Kept},
    {"pellisk", "empty-file", THandOff::Kept},     {"pellisk", "form-fails", THandOff::Kept, 1},
    {"morvane", "killed", THandOff::Kept, Killed}, {"pellisk", "killed", THandOff::Kept, Killed},
};

TEST(ExitTest, EveryWayOfEndingAProgramEndsItsProcessCleanly) {
    for (const TExitCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Program) + " " + C.Scenario);
        TTempDir Dir;
        const std::string HandOff = Dir.Write("csv_inport.tmp", "old");
        const std::string Source =
            Dir.Write("source.csv", std::string(C.Scenario) == "empty-file" ? "" : "a\r\n");

        const TestDriver::TProgramEnd End =
            TestDriver::RunProgram(std::string(QUOVANT_PROBES "/") + C.Program + "_probe", {},
                                   {{"LC_ALL", "C.UTF-8"},
                                    {"QUOVANT_PROBE_SCENARIO", C.Scenario},
                                    {"QUOVANT_PROBE_DIR", Dir.Path()},
                                    {"QUOVANT_PROBE_SOURCE", Source}},
                                   60000);
        ASSERT_TRUE(End.Finished) << "the program did not end";
        const std::string& Out = End.Out;
        const std::string& Err = End.Err;

        EXPECT_EQ(End.Crashed, C.ExitCode < 0) << Err;
        EXPECT_EQ(End.ExitCode, std::abs(C.ExitCode)) << Err;
        EXPECT_FALSE(Err.find("Sanitizer") != Err.npos || Err.find("runtime error") != Err.npos)
            << Err;
        for (const std::string& Name : Dir.Files())
            EXPECT_FALSE(Name.ends_with(".part")) << Name;
        const std::string Left = ReadFile(HandOff);
        switch (C.HandOff) {
        case THandOff::Kept:
            EXPECT_EQ(Left, "old");
            break;
        case THandOff::Gone:
            EXPECT_FALSE(std::filesystem::exists(HandOff));
            break;
        case THandOff::Written:
            EXPECT_TRUE(Left.starts_with("a;")) << Left;
            break;
        }
        if (C.ExitCode > 0) {
            EXPECT_TRUE(Out.find("message: ") != Out.npos && Out.find(".dfm") != Out.npos) << Out;
        } else if (C.ExitCode == 0) {
            // The toolkit speaks Japanese though the locale is C.
            EXPECT_TRUE(Out.starts_with("dialog: 開く")) << Out;
        }
    }
}

} // namespace
