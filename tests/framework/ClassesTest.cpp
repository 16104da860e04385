#include "Classes.h"
#include "FileStreams.h"
#include "TempDir.h"
#include "TestData.h"
#include "TestDriver.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// A component that records what happens to it in a shared journal.
class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, std::vector<std::string>* AJournal)
        : TComponent(AOwner), FJournal(AJournal) {}
    ~TProbe() override {
        if (FJournal)
            FJournal->push_back("free " + Name() +
                                (ComponentState().Contains(csDestroying) ? " destroying" : ""));
    }
    TComponent* Buddy = nullptr;

protected:
    void Notification(TComponent* AComponent, bool Removing) override {
        TComponent::Notification(AComponent, Removing);
        if (Removing && AComponent == Buddy)
            Buddy = nullptr;
    }

private:
    std::vector<std::string>* FJournal;
};

std::vector<std::string> Lines(const TStrings& S) {
    std::vector<std::string> Result;
    for (int I = 0; I < S.Count(); ++I)
        Result.push_back(S[I]);
    return Result;
}

using TLines = std::vector<std::string>;

// A collection that records its notifications and updates.
class TJournalCollection : public TCollection {
public:
    TJournalCollection() : TCollection([](TCollection* C) { return new TCollectionItem(C); }) {}
    std::vector<std::string> Journal;

protected:
    void Update(TCollectionItem* Item) override {
        Journal.push_back(Item ? "update " + std::to_string(Item->Index()) : "update all");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        Journal.push_back((Action == cnAdded ? "added " : "deleting ") +
                          std::to_string(Item->Index()));
    }
};

class TValueItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const char* ClassName() const override { return "TValueItem"; }
    int Value = 0;
    void Assign(const TPersistent* Source) override {
        if (const auto* Other = dynamic_cast<const TValueItem*>(Source)) {
            Value = Other->Value;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    void Touch() { Changed(false); }
};

TCollection::TItemFactory ValueItems() {
    return [](TCollection* C) { return new TValueItem(C); };
}

} // namespace

TEST(Persistent, AssignWithoutHandlerNamesBothClasses) {
    TStringList List;
    TCollection Collection(ValueItems());
    try {
        Collection.Assign(&List);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "TStringList を TCollection に代入できません"_sj);
    }
}

TEST(Component, OwnerFreesOwnedComponentsInReverseOrderMarkedDestroying) {
    std::vector<std::string> Journal;
    auto* Owner = new TProbe(nullptr, &Journal);
    Owner->SetName("Owner");
    for (const char* Name : {"A", "B", "C"})
        (new TProbe(Owner, &Journal))->SetName(Name);
    delete Owner; // its own destructor body runs before the base frees what it owns
    EXPECT_EQ(Journal, (TLines{"free Owner", "free C destroying", "free B destroying",
                               "free A destroying"}));
}

TEST(Component, RemovalIsNotifiedToTheOwnersOtherComponents) {
    TComponent Owner(nullptr);
    auto* Menu = new TProbe(&Owner, nullptr);
    auto* Grid = new TProbe(&Owner, nullptr);
    Grid->Buddy = Menu;
    delete Menu;
    EXPECT_EQ(Grid->Buddy, nullptr);
    EXPECT_EQ(Owner.ComponentCount(), 1);
}

TEST(Component, FreeingOwnerClearsReferencesBetweenSiblings) {
    auto* Owner = new TComponent(nullptr);
    auto* Grid = new TProbe(Owner, nullptr);
    auto* Menu = new TProbe(Owner, nullptr);
    Grid->Buddy = Menu; // Menu goes first; Grid must not keep a dangling pointer
    Menu->Buddy = Grid;
    delete Owner; // run under a sanitizer this would report a use after free
    SUCCEED();
}

TEST(Component, FindComponentByNameIgnoringCase) {
    TComponent Owner(nullptr);
    auto* Button = new TComponent(&Owner);
    Button->SetName("Button21");
    EXPECT_EQ(Owner.FindComponent("Button21"), Button);
    EXPECT_EQ(Owner.FindComponent("BUTTON21"), Button);
    EXPECT_EQ(Owner.FindComponent("Button2"), nullptr);
    EXPECT_EQ(Owner.FindComponent(""), nullptr);
    EXPECT_EQ(ComponentByName<TComponent>(&Owner, "button21"), Button);
    EXPECT_THROW(ComponentByName<TComponent>(&Owner, "Panel1"), EComponentError);
}

TEST(Component, NamesMustBeIdentifiersAndUniqueWithinTheOwner) {
    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    auto* B = new TComponent(&Owner);
    A->SetName("Panel1");
    EXPECT_THROW(B->SetName("panel1"), EComponentError);
    EXPECT_THROW(B->SetName("1Panel"), EComponentError);
    EXPECT_THROW(B->SetName("パネル"_sj), EComponentError);
    EXPECT_EQ(B->Name(), "");
    A->SetName("Panel1");
    B->SetName("_Panel_2");
    EXPECT_EQ(B->Name(), "_Panel_2");
}

TEST(Component, InsertingIntoAnotherOwnerMovesTheComponent) {
    TComponent First(nullptr);
    TComponent Second(nullptr);
    auto* Child = new TComponent(&First);
    Second.InsertComponent(Child);
    EXPECT_EQ(First.ComponentCount(), 0);
    EXPECT_EQ(Second.ComponentCount(), 1);
    EXPECT_EQ(Child->Owner(), &Second);
}

TEST(Component, LoadingStateAndDesigningReachOwnedComponents) {
    TComponent Owner(nullptr);
    auto* Child = new TComponent(&Owner);
    Owner.BeginLoading();
    EXPECT_TRUE(Owner.ComponentState().Contains(csLoading));
    Owner.EndLoading();
    EXPECT_TRUE(Owner.ComponentState().Contains(csLoading));
    EXPECT_FALSE(Owner.ComponentState().Contains(csReading));
    Owner.Loaded();
    EXPECT_FALSE(Owner.ComponentState().Contains(csLoading));
    Owner.SetDesigning(true);
    EXPECT_TRUE(Child->ComponentState().Contains(csDesigning));
    Owner.SetDesigning(false);
    EXPECT_FALSE(Child->ComponentState().Contains(csDesigning));
}

TEST(Component, PublishedMethodsAreFoundByName) {
    TComponent Form(nullptr);
    int Calls = 0;
    Form.PublishMethod("FormShow", TNotifyEvent([&](TObject*) { ++Calls; }));
    const std::any* Method = Form.FindMethod("FormShow");
    ASSERT_NE(Method, nullptr);
    std::any_cast<TNotifyEvent> (*Method)(&Form);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Form.FindMethod("FormHide"), nullptr);
}

TEST(StringList, SetTextSplitsAtEveryKindOfLineBreak) {
    struct {
        std::string Text;
        TLines Expected;
    } const Cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"", {}},
        {std::string("a\0b\r\nc", 6), {"a"}},
        {std::string("\0abc", 4), {}},
        {"\x95\x5C\r\n\x83\x8B", {"\x95\x5C", "\x83\x8B"}},
    };
    TStringList List;
    for (const auto& Case : Cases) {
        List.SetText(Case.Text);
        EXPECT_EQ(Lines(List), Case.Expected) << testing::PrintToString(Case.Text);
    }
}

TEST(StringList, TextJoinsWithCrLfAfterEveryLine) {
    TStringList List;
    EXPECT_EQ(List.Text(), "");
    List.Add("a");
    List.Add("");
    EXPECT_EQ(List.Text(), "a\r\n\r\n");
}

TEST(StringList, LoadFromFileReplacesTheContent) {
    TTempDir Dir;
    const std::string Path = Dir.Path() + "/lines.csv";
    std::ofstream(Path, std::ios::binary) << "x,1\r\ny,2\n";
    TStringList List;
    List.Add("old");
    List.LoadFromFile(Path);
    EXPECT_EQ(Lines(List), (TLines{"x,1", "y,2"}));
    EXPECT_THROW(List.LoadFromFile(Path + ".missing"), EFOpenError);
    EXPECT_EQ(Lines(List), (TLines{"x,1", "y,2"}));
}

TEST(StringList, LoadsARealShiftJisFileLineByLine) {
    SKIP_WITHOUT_TESTDATA("/csv/syukujitsu.csv");
    TStringList List;
    List.LoadFromFile(QUOVANT_TESTDATA "/csv/syukujitsu.csv");
    EXPECT_EQ(List.Count(), 1068);
    EXPECT_EQ(List[1].substr(0, 9), "1955/1/1,");
    EXPECT_EQ(AnsiToUtf8(List[1].substr(9)), "元日");
}

TEST(StringList, OnChangeFiresPerChangeAndOnceAfterAnUpdate) {
    TStringList List;
    int Changes = 0;
    List.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &List);
        ++Changes;
    };
    List.Add("a");
    List.Insert(0, "b");
    List.Put(1, "c");
    List.Delete(0);
    EXPECT_EQ(Changes, 4);
    Changes = 0;
    List.BeginUpdate();
    List.BeginUpdate();
    List.SetText("1\r\n2\r\n3");
    List.EndUpdate();
    EXPECT_EQ(Changes, 0);
    List.EndUpdate();
    EXPECT_EQ(Changes, 1);
}

TEST(StringList, AssignCopiesLinesUnderOneUpdate) {
    TStringList Source;
    Source.SetText("a\nb\nc");
    TStringList Dest;
    Dest.Add("z");
    int Changes = 0;
    Dest.OnChange = [&](TObject*) { ++Changes; };
    Dest.Assign(&Source);
    EXPECT_EQ(Lines(Dest), (TLines{"a", "b", "c"}));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Dest.IndexOf("b"), 1);
    EXPECT_EQ(Dest.IndexOf("B"), -1);
}

TEST(StringList, IndexOutOfRangeRaisesListError) {
    TStringList List;
    List.Add("a");
    EXPECT_THROW(List.Get(1), EListError);
    EXPECT_THROW(List.Get(-1), EListError);
    EXPECT_THROW(List.Delete(1), EListError);
    EXPECT_THROW(List.Insert(2, "x"), EListError);
    EXPECT_NO_THROW(List.Insert(1, "x"));
}

// Lists that share one text: the text lives as long as a list holds views into it, a change
// to one list leaves the others as they were, and a list of its own strings packs them into a
// text to share.
TEST(StringList, SharedTextOutlivesItsListsAndChangesStayWithTheListMade) {
    auto Text = std::make_shared<const TTextBytes>("one,two\r\nthree");
    const std::string_view All(*Text);
    TStringList Source;
    Source.Share(Text, TStringViews{All.substr(0, 7), All.substr(9)});
    Text.reset();
    TStringList Fields;
    Fields.Share(Source.SharedText(), TStringViews{All.substr(4, 3), All.substr(9, 2)});
    Source.Clear();
    EXPECT_EQ(Fields.Text(), "two\r\nth\r\n");
    Fields.Put(1, "x");
    Fields.Insert(0, "y");
    EXPECT_EQ(Fields.Text(), "y\r\ntwo\r\nx\r\n");

    const TSharedText& Packed = Fields.SharedText();
    EXPECT_EQ(std::string_view(*Packed), "ytwox");
    EXPECT_EQ(Fields.View(1).data(), Packed->data() + 1) << "the items became views";
    EXPECT_THROW(Fields.View(3), EListError);
}

TEST(Collection, ItemConstructorAppendsAndIndicesFollowDeletesAndMoves) {
    TCollection Items(ValueItems());
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(Items.Add()->Index(), I);
    EXPECT_EQ(Items.Count(), 5);
    TCollectionItem* Third = Items.Items(2);
    TCollectionItem* Last = Items.Items(4);
    Items.Delete(1);
    EXPECT_EQ(Third->Index(), 1);
    EXPECT_EQ(Last->Index(), 3);
    Last->SetIndex(0);
    EXPECT_EQ(Items.Items(0), Last);
    EXPECT_EQ(Third->Index(), 2);
    for (int I = 0; I < Items.Count(); ++I)
        EXPECT_EQ(Items.Items(I)->Index(), I);
    delete Third;
    EXPECT_EQ(Items.Count(), 3);
    EXPECT_EQ(Items.Items(2)->Index(), 2);
    EXPECT_THROW(Last->SetIndex(3), EListError);
    EXPECT_EQ(Items.Items(0)->Collection(), &Items);
    EXPECT_EQ(Items.Items(0)->GetOwner(), &Items);
}

TEST(Collection, NotifiesAddAndDeleteAndUpdates) {
    TJournalCollection Items;
    Items.Add();
    Items.Add();
    Items.Delete(0);
    EXPECT_EQ(Items.Journal, (TLines{"added 0", "update all", "added 1", "update all", "deleting 0",
                                     "update all"}));
}

TEST(Collection, UpdateBracketDefersToOneUpdateOfAll) {
    TJournalCollection Items;
    Items.BeginUpdate();
    Items.Add();
    Items.Add();
    Items.Clear();
    Items.EndUpdate();
    EXPECT_EQ(Items.Journal,
              (TLines{"added 0", "added 1", "deleting 1", "deleting 0", "update all"}));
    EXPECT_EQ(Items.Count(), 0);
}

TEST(Collection, ItemChangeReachesUpdateWithTheItemOutsideABracket) {
    class TItems : public TCollection {
    public:
        TItems() : TCollection(ValueItems()) {}
        std::vector<TCollectionItem*> Updates;

    protected:
        void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
    } Items;
    auto* Item = static_cast<TValueItem*>(Items.Add());
    Items.Updates.clear();
    Item->Touch();
    EXPECT_EQ(Items.Updates, (std::vector<TCollectionItem*>{Item}));
    Items.BeginUpdate();
    Item->Touch();
    EXPECT_EQ(Items.Updates.size(), 1u);
    Items.EndUpdate();
    EXPECT_EQ(Items.Updates, (std::vector<TCollectionItem*>{Item, nullptr}));
}

TEST(Collection, AssignCopiesItemsThroughTheirAssign) {
    TCollection Source(ValueItems());
    for (int V : {3, 1, 4})
        static_cast<TValueItem*>(Source.Add())->Value = V;
    TJournalCollection Dest;
    Dest.Add();
    Dest.Journal.clear();
    TCollection Copy(ValueItems());
    Copy.Add();
    Copy.Assign(&Source);
    ASSERT_EQ(Copy.Count(), 3);
    EXPECT_EQ(static_cast<TValueItem*>(Copy.Items(2))->Value, 4);
    EXPECT_EQ(Copy.UpdateCount(), 0);
    // Items of another class raise and leave the bracket closed.
    EXPECT_THROW(Dest.Assign(&Source), EConvertError);
    EXPECT_EQ(Dest.UpdateCount(), 0);
}

TEST(Collection, ClearsALargeCollection) {
    TCollection Items(ValueItems());
    Items.BeginUpdate();
    for (int I = 0; I < 200000; ++I)
        Items.Add();
    Items.EndUpdate();
    Items.Clear();
    EXPECT_EQ(Items.Count(), 0);
}

TEST(FileStream, WritesAndReadsBack) {
    TTempDir Dir;
    const AnsiString Name = Dir.Path() + "/"_sj + "手渡し.tmp"_sj;
    {
        TFileStream Out(Name, fmCreate);
        Out.Write("abc;");
        Out.Write(std::string("\0\x81", 2));
        Out.Close();
    }
    {
        TFileStream Out(Name, fmCreate); // truncates
        Out.Write("xy");
    }
    TFileStream In(Name, fmOpenRead);
    EXPECT_EQ(In.Size(), 2);
    char Buffer[8] = {};
    EXPECT_EQ(In.Read(Buffer, sizeof Buffer), 2u);
    EXPECT_EQ(std::string(Buffer, 2), "xy");
    EXPECT_EQ(In.Read(Buffer, sizeof Buffer), 0u);
}

TEST(FileStream, OpenFailuresRaiseOpenErrorsThatNameFileAndReason) {
    TTempDir Dir;
    const std::string Folder = Dir.Path();
    const auto Message = [](const AnsiString& Name, unsigned Mode) {
        try {
            TFileStream Stream(Name, Mode);
        } catch (const EFOpenError& E) {
            return AnsiToUtf8(E.Message());
        }
        return std::string("no error");
    };
    EXPECT_EQ(Message(Folder + "/none", fmOpenRead),
              "ファイル \"" + Folder + "/none\" を開けません: ファイルが見つかりません");
    EXPECT_EQ(Message(Folder + "/no/x", fmCreate),
              "ファイル \"" + Folder + "/no/x\" を作成できません: フォルダーが見つかりません");
    EXPECT_EQ(Message(Folder, fmCreate),
              "ファイル \"" + Folder + "\" を作成できません: フォルダーです");
    EXPECT_EQ(Message(Folder, fmOpenRead),
              "ファイル \"" + Folder + "\" を開けません: フォルダーです");
}

TEST(FileStream, CreateNewRefusesAnyExistingNameAndNeverFollowsALink) {
    TTempDir Dir;
    namespace fs = std::filesystem;
    const std::string Target = Dir.FilePath("target");
    ASSERT_TRUE(WriteFile(Target, ""));
    std::vector<std::string> Names = {"target"};
    // Links only where the test may make them (Windows asks for a privilege).
    for (const auto& [Name, To] : {std::pair<std::string, std::string>{"link", Target},
                                   {"dangling", Dir.FilePath("nowhere")}}) {
        std::error_code Refused;
        fs::create_symlink(To, Dir.FilePath(Name), Refused);
        if (!Refused)
            Names.push_back(Name);
    }
    for (const std::string& Name : Names)
        EXPECT_THROW(TFileStream(Dir.FilePath(Name), fmCreateNew), EFOpenError) << Name;
    EXPECT_EQ(fs::file_size(Target), 0u);
    EXPECT_FALSE(fs::exists(Dir.FilePath("nowhere")));
    TFileStream New(Dir.FilePath("new"), fmCreateNew);
    New.Write("x");
    New.FlushBuffers();
    New.Close();
    EXPECT_EQ(fs::file_size(Dir.FilePath("new")), 1u);
}

TEST(FileStream, FullDiskIsAWriteErrorNotSilentLoss) {
    const AnsiString Full = TestDriver::FullDevice();
    if (Full.empty())
        GTEST_SKIP() << "no device that is always full";
    bool Raised = false;
    try {
        TFileStream Out(Full, fmCreate);
        Out.Write("one line;\r\n");
        Out.Close();
    } catch (const EWriteError& E) {
        Raised = true;
        EXPECT_NE(E.Message().find(Full), std::string::npos);
        EXPECT_TRUE(E.Message().ends_with("ディスクの空き容量が足りません"_sj));
    }
    EXPECT_TRUE(Raised);
    TFileStream Big(Full, fmCreate);
    EXPECT_THROW(Big.Write(std::string(1 << 20, 'x')), EWriteError);
}

namespace {

class TBase : public TComponent {
public:
    using TComponent::TComponent;
    int Width() const { return FWidth; }
    void SetWidth(int V) { FWidth = V; }
    int Height() const { return FHeight; }
    void SetHeight(int V) { FHeight = V; }

private:
    int FWidth = 0;
    int FHeight = 0;
};

class TDerived : public TBase {
public:
    using TBase::TBase;
    int Width2() const { return Width() * 2; }
    void SetWidth2(int V) { SetWidth(V); }
    int Depth() const { return Height(); }
    void SetDepth(int V) { SetHeight(V); }
};

const bool Registered = [] {
    TPublish<TBase>("TTestBase", "TTestRoot")
        .Int("Width", &TBase::Width, &TBase::SetWidth, 10)
        .Int("Height", &TBase::Height, &TBase::SetHeight);
    TPublish<TDerived>("TTestDerived", "TTestBase")
        .Creatable()
        .Int("Width", &TDerived::Width2, &TDerived::SetWidth2, 20)
        .Int("Depth", &TDerived::Depth, &TDerived::SetDepth);
    TPublish<TComponent>("TTestRoot", nullptr).Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
    return true;
}();

} // namespace

TEST(Registry, AllPropsListsAncestorsFirstAndRedeclarationsInPlace) {
    ASSERT_TRUE(Registered);
    const TClassInfo* Info = FindClassInfo("TTestDerived");
    ASSERT_NE(Info, nullptr);
    ASSERT_EQ(Info->Parent(), FindClassInfo("TTestBase"));
    std::vector<std::string> Names;
    for (const TPropInfo* P : Info->AllProps())
        Names.push_back(P->Name);
    EXPECT_EQ(Names, (TLines{"Tag", "Width", "Height", "Depth"}));
    const TPropInfo* Width = Info->FindProp("Width");
    ASSERT_NE(Width, nullptr);
    EXPECT_EQ(Width->Default, 20);
    EXPECT_EQ(Info->AllProps()[1], Width);
    TDerived D(nullptr);
    D.SetWidth(7);
    EXPECT_EQ(Width->GetOrd(&D), 14);
    EXPECT_EQ(FindClassInfo("TTestBase")->FindProp("Width")->GetOrd(&D), 7);
    EXPECT_EQ(Info->FindProp("Missing"), nullptr);
}

TEST(Registry, AHeldPropertyIsPublishedWhereADescendantNamesIt) {
    TPublish<TBase>("TTestHolder", "TTestRoot")
        .Held()
        .Int("Width", &TBase::Width, &TBase::SetWidth, 10);
    TPublish<TDerived>("TTestPublisher", "TTestHolder").Publish("Width").Default(3);
    EXPECT_EQ(FindClassInfo("TTestHolder")->FindProp("Width"), nullptr);
    EXPECT_EQ(FindClassInfo("TTestHolder")->AllProps().size(), 1u) << "only Tag";
    const TPropInfo* Width = FindClassInfo("TTestPublisher")->FindProp("width");
    ASSERT_NE(Width, nullptr);
    EXPECT_EQ(Width->Default, 3);
    TDerived D(nullptr);
    Width->SetOrd(&D, 8);
    EXPECT_EQ(D.Width(), 8);
    EXPECT_THROW(TPublish<TDerived>("TTestPublisher2", "TTestHolder").Publish("Depth"),
                 EComponentError);
}

TEST(Registry, RegisteringANameAgainGivesTheSameEntry) {
    TClassInfo& Again = RegisterClassInfo("TTestDerived", "TTestBase");
    EXPECT_EQ(&Again, FindClassInfo("TTestDerived"));
    EXPECT_EQ(FindClassInfo("TNotRegistered"), nullptr);
    std::unique_ptr<TComponent> Made(Again.Create(nullptr));
    EXPECT_NE(dynamic_cast<TDerived*>(Made.get()), nullptr);
}
