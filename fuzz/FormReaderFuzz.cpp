// The text form reader on any form file. The root takes the class the file names when it is
// one of the system's forms, and publishes every handler the system's form files bind, so
// that the project's own form files read through to their end.
#include "FormReader.h"
#include "Forms.h"
#include "Grids.h"
#include "TestSupport.h"
#include "umorvane.h"
#include "upellisk.h"

#include <cstdlib>
#include <string_view>

namespace {

const char* const FormClasses[] = {"TForm", "TWizardForm", "Tfmorvane", "Tfpellisk"};
const char* const ClickHandlers[] = {
    "FormCreate",       "FormShow",         "Button1Click",     "Button11Click", "Button21Click",
    "IconButton1Click", "IconButton3Click", "IconButton4Click", "N1Click",       "N2Click",
    "N3Click",          "N4Click",          "N5Click",          "N8Click",       "N11Click"};

// The class named in the file's first header ("object Name: TClass"), if it is a form's.
const char* RootClassOf(std::string_view Text) {
    const std::size_t Colon = Text.find(':');
    const std::size_t LineEnd = Text.find('\n');
    if (Colon == Text.npos || Colon > LineEnd)
        return FormClasses[0];
    std::string_view Name = Text.substr(Colon + 1, LineEnd - Colon - 1);
    while (!Name.empty() && (Name.front() == ' ' || Name.front() == '\t'))
        Name.remove_prefix(1);
    while (!Name.empty() && (Name.back() == ' ' || Name.back() == '\r'))
        Name.remove_suffix(1);
    for (const char* Class : FormClasses)
        if (Name == Class)
            return Class;
    return FormClasses[0];
}

class TFuzzRoot : public TForm {
public:
    explicit TFuzzRoot(const char* AClassName) : TForm(nullptr), FClassName(AClassName) {
        for (const char* Name : ClickHandlers)
            PublishMethod(Name, TNotifyEvent([](TObject*) {}));
        PublishMethod("FormClose", TCloseEvent([](TObject*, TCloseAction&) {}));
        PublishMethod("StrColGrid1SetEditText",
                      TSetEditEvent([](TObject*, int, int, const AnsiString&) {}));
    }
    const char* ClassName() const override { return FClassName; }

private:
    const char* FClassName;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static int Argc = 1;
    static char Name[] = "FormReaderFuzz";
    static char* Argv[] = {Name, nullptr};
    TestSupport::Start(Argc, Argv);
    RegisterMorvaneClasses();
    RegisterPelliskClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TFuzzRoot Root(RootClassOf(Text));
    try {
        ReadComponentText(&Root, Text);
    } catch (const Exception&) {
    }
    return 0;
}
