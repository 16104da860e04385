// Fixtures that the layer's tests and the tests of its back ends share: a stand-in application,
// a form that records its show and close, a root for form files, and a test that collects what
// reaches the layer's error report.
#pragma once

#include "Forms.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

// Makes a fresh application object the program's one for the time of a test.
class TLocalApplication {
public:
    TLocalApplication() : FSaved(Application) { Application = &Local; }
    ~TLocalApplication() { Application = FSaved; }
    TApplication Local;

private:
    TApplication* FSaved;
};

class TRecordingForm : public TForm {
public:
    explicit TRecordingForm(TComponent* AOwner) : TForm(AOwner) {
        OnShow = [this](TObject*) { Log.push_back("show"); };
        OnClose = [this](TObject*, TCloseAction& Action) {
            Log.push_back("close");
            Action = NextAction;
        };
    }
    ~TRecordingForm() override {
        if (Destroyed)
            *Destroyed = true;
    }
    std::vector<std::string> Log;
    TCloseAction NextAction = caHide;
    bool* Destroyed = nullptr;
};

// A root for form files that nests the controls under their parents.
class TStdTestForm : public TComponent {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TStdTestForm"; }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
        for (int I = 0; I < ComponentCount(); ++I)
            if (!Components(I)->GetParentComponent())
                Proc(Components(I));
    }
};

// Collects what reaches the layer's error report.
class TReportingTest : public testing::Test {
protected:
    void SetUp() override {
        SetExceptionHandler([this](const std::exception& E) { Reported.push_back(E.what()); });
    }
    void TearDown() override { SetExceptionHandler(nullptr); }
    std::vector<std::string> Reported;
};
