// F1 on a control: the nearest control that names help (itself, its parents, the form) hands
// its keyword or context to the application, whose OnHelp answers.
#include "ExtCtrls.h"
#include "Forms.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct THelpCase {
    const char* Title;
    std::function<void(TForm& Form, TPanel& Panel, TCustomControl& Field)> Set;
    std::vector<std::string> Expected;
};

class HelpTest : public testing::TestWithParam<THelpCase> {
protected:
    void SetUp() override {
        Panel->SetParent(&Form);
        Field->SetParent(Panel);
        Application->OnHelp = [this](THelpType Type, const AnsiString& Keyword, int Context) {
            Requests.push_back(Type == htKeyword ? "keyword " + AnsiToUtf8(Keyword)
                                                 : "context " + std::to_string(Context));
            return true;
        };
    }
    void TearDown() override { Application->OnHelp = nullptr; }
    void PressF1() { TestSupport::PressKey(Field, VK_F1); }

    TForm Form{nullptr};
    TPanel* Panel = new TPanel(&Form);
    TCustomControl* Field = new TCustomControl(&Form);
    std::vector<std::string> Requests;
};

} // namespace

TEST_P(HelpTest, F1AsksForTheHelpOfTheNearestControlThatNamesAny) {
    GetParam().Set(Form, *Panel, *Field);
    PressF1();
    EXPECT_EQ(Requests, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpTest,
    testing::Values(THelpCase{"NothingSet", [](TForm&, TPanel&, TCustomControl&) {}, {}},
                    THelpCase{"OwnContext",
                              [](TForm&, TPanel& P, TCustomControl& F) {
                                  F.SetHelpContext(12);
                                  P.SetHelpContext(7);
                              },
                              {"context 12"}},
                    THelpCase{"OwnKeyword",
                              [](TForm&, TPanel&, TCustomControl& F) {
                                  F.SetHelpType(htKeyword);
                                  F.SetHelpKeyword("取込手順"_sj);
                                  F.SetHelpContext(12);
                              },
                              {"keyword 取込手順"}},
                    THelpCase{"KeywordTypeWithoutKeywordNamesNone",
                              [](TForm&, TPanel& P, TCustomControl& F) {
                                  F.SetHelpType(htKeyword);
                                  F.SetHelpContext(12);
                                  P.SetHelpContext(7);
                              },
                              {"context 7"}},
                    THelpCase{"TheFormLast",
                              [](TForm& Form, TPanel&, TCustomControl&) { Form.SetHelpContext(3); },
                              {"context 3"}},
                    THelpCase{"AKeyDownHandlerMaySwallowF1",
                              [](TForm&, TPanel&, TCustomControl& F) {
                                  F.SetHelpContext(12);
                                  F.OnKeyDown = [](TObject*, unsigned short& Key, TShiftState) {
                                      Key = 0;
                                  };
                              },
                              {}}),
    [](const testing::TestParamInfo<THelpCase>& Info) { return Info.param.Title; });

TEST_F(HelpTest, WithoutAHandlerHelpIsUnansweredAndNothingHappens) {
    Field->SetHelpContext(12);
    Application->OnHelp = nullptr;
    PressF1();
    EXPECT_FALSE(Application->HelpContext(12));
    EXPECT_FALSE(Application->HelpKeyword("x"));
}
