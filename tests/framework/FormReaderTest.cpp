// The text form format: reading into registered test classes, errors, and writing it back.
#include "FormReader.h"
#include "FormWriter.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using TLines = std::vector<std::string>;

// What the test classes saw while a form was read.
TLines& Journal() {
    static TLines Lines;
    return Lines;
}

enum TTestStyleItem { tsBold, tsItalic, tsUnderline };
using TTestStyles = TSet<TTestStyleItem>;
const std::vector<const char*> TestStyleNames{"tsBold", "tsItalic", "tsUnderline"};
const std::vector<const char*> AlignmentNames{"taLeftJustify", "taRightJustify", "taCenter"};

constexpr std::int64_t clTestFace = 0xFF00000F;
const TIdentTable ColorIdents{{"clTestFace", clTestFace}, {"clTestWhite", 0xFFFFFF}};
const TIdentTable CursorIdents{{"crTestArrow", 0}, {"crTestHand", -21}};

class TTestFont : public TPersistent {
public:
    static constexpr int DefaultSize = 9;
    const char* ClassName() const override { return "TTestFont"; }
    AnsiString Name() const { return FName; }
    void SetName(const AnsiString& V) { FName = V; }
    int Size() const { return FSize; }
    void SetSize(int V) { FSize = V; }
    TTestStyles Style() const { return FStyle; }
    void SetStyle(TTestStyles V) { FStyle = V; }

private:
    AnsiString FName;
    int FSize = DefaultSize;
    TTestStyles FStyle;
};

class TTestParam : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const char* ClassName() const override { return "TTestParam"; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment V) { FAlignment = V; }
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& V) { FCaption = V; }
    int Col() const { return FCol; }
    void SetCol(int V) {
        if (V < 0)
            throw ERangeError("Col の値が範囲を超えました"_sj);
        FCol = V;
    }
    TTestFont* Font() const { return FFont.get(); }
    TNotifyEvent OnDraw;

private:
    TAlignment FAlignment = taLeftJustify;
    AnsiString FCaption;
    int FCol = 0;
    std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
};

class TTestParams : public TCollection {
public:
    TTestParams() : TCollection([](TCollection* C) { return new TTestParam(C); }) {}
    const char* ClassName() const override { return "TTestParams"; }
};

class TTestMenu : public TComponent {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TTestMenu"; }
};

// A panel nests under a parent panel (or the form) and owns a font, a list, parameters,
// binary data and a reference to a menu.
class TTestPanel : public TComponent {
public:
    static constexpr bool DefaultVisible = true;
    static constexpr std::int64_t DefaultColor = clTestFace;
    static constexpr TTestStyles DefaultOptions{tsBold};

    using TComponent::TComponent;
    ~TTestPanel() override {
        for (TTestPanel* Child : FChildren)
            Child->FParent = nullptr;
        if (FParent)
            std::erase(FParent->FChildren, this);
    }
    const char* ClassName() const override { return "TTestPanel"; }

    int Left() const { return FLeft; }
    void SetLeft(int V) { FLeft = V; }
    int Cursor() const { return FCursor; }
    void SetCursor(int V) { FCursor = V; }
    std::int64_t Color() const { return FColor; }
    void SetColor(std::int64_t V) { FColor = V; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool V) { FVisible = V; }
    TTestStyles Options() const { return FOptions; }
    void SetOptions(TTestStyles V) { FOptions = V; }
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& V) {
        FCaption = V;
        Journal().push_back(Name() + " caption, parent " + (FParent ? FParent->Name() : "-") +
                            (ComponentState().Contains(csLoading) ? ", loading" : ""));
    }
    TTestFont* Font() const { return FFont.get(); }
    TStringList* Items() const { return FItems.get(); }
    TStringList* Widths() const { return FWidths.get(); }
    TTestParams* Params() const { return FParams.get(); }
    TTestMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TTestMenu* V) { FPopupMenu = V; }
    std::string Data() const { return FData; }
    void SetData(const std::string& V) { FData = V; }
    TNotifyEvent OnClick;

    TTestPanel* ParentPanel() const { return FParent; }
    void SetParentComponent(TComponent* Value) override {
        // Directly on the form counts as no parent panel.
        FParent = Value == Owner() ? nullptr : dynamic_cast<TTestPanel*>(Value);
        if (FParent)
            FParent->FChildren.push_back(this);
    }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
        for (TTestPanel* Child : FChildren)
            Proc(Child);
    }
    void Loaded() override {
        TComponent::Loaded();
        Journal().push_back(Name() + " loaded");
    }

protected:
    void Notification(TComponent* AComponent, bool Removing) override {
        TComponent::Notification(AComponent, Removing);
        if (Removing && AComponent == FPopupMenu)
            FPopupMenu = nullptr;
    }

private:
    int FLeft = 0;
    int FCursor = 0;
    std::int64_t FColor = DefaultColor;
    bool FVisible = DefaultVisible;
    TTestStyles FOptions = DefaultOptions;
    AnsiString FCaption;
    std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
    std::unique_ptr<TStringList> FItems = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> FWidths = std::make_unique<TStringList>();
    std::unique_ptr<TTestParams> FParams = std::make_unique<TTestParams>();
    TTestMenu* FPopupMenu = nullptr;
    std::string FData;
    TTestPanel* FParent = nullptr;
    std::vector<TTestPanel*> FChildren;
};

// The root: its handlers are published methods; its children are the top-level components.
class TTestForm : public TTestPanel {
public:
    explicit TTestForm(TComponent* AOwner = nullptr) : TTestPanel(AOwner) {
        PublishMethod("FormCreate", TNotifyEvent([this](TObject*) { ++Created; }));
        PublishMethod("PanelClick", TNotifyEvent([this](TObject* S) { Clicked = S; }));
        PublishMethod("WrongType", std::function<void(int)>([](int) {}));
    }
    const char* ClassName() const override { return "TTestForm"; }
    int Created = 0;
    TObject* Clicked = nullptr;
    TNotifyEvent OnCreate;

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
        for (int I = 0; I < ComponentCount(); ++I) {
            auto* Panel = dynamic_cast<TTestPanel*>(Components(I));
            if (!Panel || !Panel->ParentPanel())
                Proc(Components(I));
        }
    }
};

const bool Registered = [] {
    TPublish<TTestFont>("TTestFont", "TPersistent")
        .Str("Name", &TTestFont::Name, &TTestFont::SetName)
        .Int("Size", &TTestFont::Size, &TTestFont::SetSize, TTestFont::DefaultSize)
        .Set("Style", &TTestFont::Style, &TTestFont::SetStyle, TestStyleNames, TTestStyles{});
    TPublish<TTestParam>("TTestParam", "TCollectionItem")
        .Enum("Alignment", &TTestParam::Alignment, &TTestParam::SetAlignment, AlignmentNames,
              std::optional(taLeftJustify))
        .Str("Caption", &TTestParam::Caption, &TTestParam::SetCaption)
        .Int("Col", &TTestParam::Col, &TTestParam::SetCol)
        .Object("Font", TTypeKind::Class, &TTestParam::Font)
        .Event("OnDraw", &TTestParam::OnDraw);
    TPublish<TTestMenu>("TTestMenu", "TComponent").Creatable();
    TPublish<TTestPanel>("TTestPanel", "TComponent")
        .Creatable()
        .Int("Left", &TTestPanel::Left, &TTestPanel::SetLeft)
        .Int("Cursor", &TTestPanel::Cursor, &TTestPanel::SetCursor, 0, &CursorIdents)
        .Int("Color", &TTestPanel::Color, &TTestPanel::SetColor, TTestPanel::DefaultColor,
             &ColorIdents)
        .Bool("Visible", &TTestPanel::Visible, &TTestPanel::SetVisible, TTestPanel::DefaultVisible)
        .Set("Options", &TTestPanel::Options, &TTestPanel::SetOptions, TestStyleNames,
             std::optional(TTestPanel::DefaultOptions))
        .Str("Caption", &TTestPanel::Caption, &TTestPanel::SetCaption)
        .Object("Font", TTypeKind::Class, &TTestPanel::Font)
        .Object("Items", TTypeKind::Strings, &TTestPanel::Items)
        .Object("Widths", TTypeKind::Strings, &TTestPanel::Widths)
        .Integers()
        .Object("Params", TTypeKind::Collection, &TTestPanel::Params)
        .Ref("PopupMenu", &TTestPanel::PopupMenu, &TTestPanel::SetPopupMenu)
        .Binary("Data", &TTestPanel::Data, &TTestPanel::SetData)
        .StoredIf([](const TTestPanel* P) { return P->Data() != "secret"; })
        .Event("OnClick", &TTestPanel::OnClick);
    TPublish<TTestForm>("TTestForm", "TTestPanel").Event("OnCreate", &TTestForm::OnCreate);
    return true;
}();

const char* const FullForm = R"(object Form1: TTestForm
  Caption = 'It''s '#12304'+'#12305
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = [tsBold, tsUnderline]
  OnCreate = FormCreate
  object Panel6: TTestPanel
    Left = -120
    Color = $00FF8080
    Cursor = crTestHand
    Visible = False
    Options = []
    Caption = 'パネル'
    PopupMenu = PopupMenu1
    OnClick = PanelClick
    object ListBox1: TTestPanel
      Left = 24
      Color = clTestWhite
      Caption =
        'line 1'#13#10 +
        'line 2'
      Items.Strings = (
        'カンマ区切り'
        'タブ区切り'
        ''
        'a''b')
      Widths = (10 181 150)
    end
  end
  object Grid1: TTestPanel
    Params = <
      item
        Alignment = taCenter
        Caption = '名'#12288'  称'
        Col = 1
        Font.Size = 12
        OnDraw = PanelClick
      end
      item
        Col = 2
      end>
    Data = {
      0954426974
      6D6170}
  end
  object PopupMenu1: TTestMenu
  end
end
)";

TTestPanel* Panel(const TComponent& Form, const char* Name) {
    return ComponentByName<TTestPanel>(&Form, Name);
}

std::string ReadError(const std::string& Text) {
    TTestForm Form;
    try {
        ReadComponentText(&Form, Text);
    } catch (const EReadError& E) {
        EXPECT_EQ(Form.ComponentCount(), 0) << "components left after a failed read";
        return AnsiToUtf8(E.Message());
    }
    ADD_FAILURE() << "no error for:\n" << Text;
    return "";
}

std::string Wrap(const std::string& Body) {
    return "object Form1: TTestForm\n" + Body + "end\n";
}

// Objects nested Depth deep, one per line.
std::string Nested(int Depth) {
    std::string Body;
    for (int I = 0; I < Depth; ++I)
        Body += "object P" + std::to_string(I) + ": TTestPanel\n";
    for (int I = 0; I < Depth; ++I)
        Body += "end\n";
    return Wrap(Body);
}

} // namespace

TEST(FormReader, ReadsEveryKindOfValue) {
    ASSERT_TRUE(Registered);
    TTestForm Form;
    ReadComponentText(&Form, FullForm);
    EXPECT_EQ(Form.Name(), "Form1");
    EXPECT_EQ(Form.Caption(), "It's 【+】"_sj);
    EXPECT_EQ(Form.Font()->Name(), "ＭＳ Ｐゴシック"_sj);
    EXPECT_EQ(Form.Font()->Style(), (TTestStyles{tsBold, tsUnderline}));
    ASSERT_TRUE(Form.OnCreate);
    Form.OnCreate(&Form);
    EXPECT_EQ(Form.Created, 1);
    EXPECT_EQ(Form.EventNames().at("OnCreate"), "FormCreate");

    TTestPanel* Panel6 = Panel(Form, "Panel6");
    EXPECT_EQ(Panel6->Left(), -120);
    EXPECT_EQ(Panel6->Color(), 0xFF8080);
    EXPECT_EQ(Panel6->Cursor(), -21);
    EXPECT_FALSE(Panel6->Visible());
    EXPECT_TRUE(Panel6->Options().Empty());
    EXPECT_EQ(Panel6->PopupMenu(), Form.FindComponent("PopupMenu1"));
    ASSERT_TRUE(Panel6->OnClick);
    Panel6->OnClick(Panel6);
    EXPECT_EQ(Form.Clicked, Panel6);

    TTestPanel* List = Panel(Form, "ListBox1");
    EXPECT_EQ(List->ParentPanel(), Panel6);
    EXPECT_EQ(List->Color(), 0xFFFFFF);
    EXPECT_EQ(List->Caption(), "line 1\r\nline 2");
    EXPECT_EQ(List->Items()->Text(), "カンマ区切り\r\nタブ区切り\r\n\r\na'b\r\n"_sj);
    EXPECT_EQ(List->Widths()->Text(), "10\r\n181\r\n150\r\n");

    TTestPanel* Grid = Panel(Form, "Grid1");
    ASSERT_EQ(Grid->Params()->Count(), 2);
    auto* First = static_cast<TTestParam*>(Grid->Params()->Items(0));
    EXPECT_EQ(First->Alignment(), taCenter);
    EXPECT_EQ(First->Caption(), "名　  称"_sj);
    EXPECT_EQ(First->Col(), 1);
    EXPECT_EQ(First->Font()->Size(), 12);
    EXPECT_TRUE(First->OnDraw);
    EXPECT_EQ(Grid->EventNames().at("Params[0].OnDraw"), "PanelClick");
    EXPECT_EQ(static_cast<TTestParam*>(Grid->Params()->Items(1))->Col(), 2);
    EXPECT_EQ(Grid->Data(), "\x09TBitmap");
}

TEST(FormReader, SetsParentBeforePropertiesAndCallsLoadedInReadingOrder) {
    Journal().clear();
    TTestForm Form;
    ReadComponentText(&Form, FullForm);
    EXPECT_EQ(Journal(),
              (TLines{"Form1 caption, parent -, loading", "Panel6 caption, parent -, loading",
                      "ListBox1 caption, parent Panel6, loading", "Form1 loaded", "Panel6 loaded",
                      "ListBox1 loaded", "Grid1 loaded"}));
    EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
    EXPECT_FALSE(Panel(Form, "ListBox1")->ComponentState().Contains(csLoading));
    EXPECT_FALSE(Panel(Form, "ListBox1")->ComponentState().Contains(csReading));
}

TEST(FormReader, ReadingReplacesListsAndCollections) {
    TTestForm Form;
    Form.Items()->Add("old");
    Form.Params()->Add();
    ReadComponentText(&Form, Wrap("  Items.Strings = (\n    'new')\n  Params = <>\n"));
    EXPECT_EQ(Form.Items()->Text(), "new\r\n");
    EXPECT_EQ(Form.Params()->Count(), 0);
}

TEST(FormReader, ObjectsWithoutNameKeepTheirClass) {
    TTestForm Form;
    ReadComponentText(&Form, "object TTestForm\n  object TTestMenu\n  end\nend\n");
    ASSERT_EQ(Form.ComponentCount(), 1);
    EXPECT_EQ(Form.Components(0)->Name(), "");
    EXPECT_EQ(WriteComponentText(&Form),
              "object TTestForm\n  Left = 0\n  Params = <>\n  object TTestMenu\n  end\nend\n");
}

struct TErrorCase {
    const char* Title;
    std::string Text;
    std::string Message;
};

class FormReaderErrors : public testing::TestWithParam<TErrorCase> {};

TEST_P(FormReaderErrors, NameTheLineAndLeaveNoComponents) {
    EXPECT_EQ(ReadError(GetParam().Text), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormReaderErrors,
    testing::Values(
        TErrorCase{"MissingProperty", Wrap("  Left = 1\n  Foo = 2\n"),
                   "フォームファイルの 3 行目: クラス TTestForm にプロパティ Foo がありません"},
        TErrorCase{
            "MissingSubProperty", Wrap("  Font.Colour = 2\n"),
            "フォームファイルの 2 行目: クラス TTestForm にプロパティ Font.Colour がありません"},
        TErrorCase{"UnknownClass", Wrap("  object X: TNoSuchClass\n  end\n"),
                   "フォームファイルの 2 行目: クラス TNoSuchClass が見つかりません"},
        TErrorCase{"RootMismatch", "object Form1: TOtherForm\nend\n",
                   "フォームファイルの 1 行目: クラス TOtherForm はルートのクラス TTestForm と"
                   "一致しません"},
        TErrorCase{"UnresolvedReference",
                   Wrap("  object P: TTestPanel\n    PopupMenu = Menu9\n  end\n"),
                   "フォームファイルの 3 行目: プロパティ PopupMenu: コンポーネント Menu9 "
                   "がありません"},
        TErrorCase{"ReferenceOfWrongClass",
                   Wrap("  object P: TTestPanel\n    PopupMenu = Q\n  end\n"
                        "  object Q: TTestPanel\n  end\n"),
                   "フォームファイルの 3 行目: プロパティ PopupMenu: "
                   "コンポーネントのクラスが正しくありません"},
        TErrorCase{"MissingMethod", Wrap("  OnCreate = FormDestroy\n"),
                   "フォームファイルの 2 行目: プロパティ OnCreate: メソッド FormDestroy "
                   "がありません"},
        TErrorCase{"MethodOfWrongType", Wrap("  OnCreate = WrongType\n"),
                   "フォームファイルの 2 行目: プロパティ OnCreate: "
                   "イベントハンドラの型が正しくありません"},
        TErrorCase{"UnmappableText", Wrap("  Caption = 'caf\xC3\xA9'\n"),
                   "フォームファイルの 2 行目: プロパティ Caption の文字列にはコードページ 932 "
                   "で表せない文字があります"},
        TErrorCase{"LoneSurrogateCode", Wrap("  Caption = #55296\n"),
                   "フォームファイルの 2 行目: プロパティ Caption の文字列にはコードページ 932 "
                   "で表せない文字があります"},
        TErrorCase{"BadEnumeration", Wrap("  object P: TTestPanel\n    Visible = Maybe\n  end\n"),
                   "フォームファイルの 3 行目: プロパティ Visible の値が正しくありません"},
        TErrorCase{"BadSetElement", Wrap("  Options = [tsBold, tsHuge]\n"),
                   "フォームファイルの 2 行目: プロパティ Options の値が正しくありません"},
        TErrorCase{"UnknownIdent", Wrap("  Color = clNoSuchColour\n"),
                   "フォームファイルの 2 行目: プロパティ Color の値が正しくありません"},
        TErrorCase{"StringForInteger", Wrap("  Left = '12'\n"),
                   "フォームファイルの 2 行目: プロパティ Left の値が正しくありません"},
        TErrorCase{
            "SetterRefuses",
            Wrap("  object G: TTestPanel\n    Params = <\n      item\n        Col = -1\n"
                 "      end>\n  end\n"),
            "フォームファイルの 5 行目: プロパティ Params[0].Col: Col の値が範囲を超えました"},
        TErrorCase{"UnclosedString", Wrap("  Caption = 'abc\n"),
                   "フォームファイルの 2 行目: 文字列が閉じていません"},
        TErrorCase{"OddBinary", Wrap("  Data = {\n    ABC}\n"),
                   "フォームファイルの 3 行目: バイナリデータの桁数が奇数です"},
        TErrorCase{"MissingEnd", "object Form1: TTestForm\n  object P: TTestPanel\n  end\n",
                   "フォームファイルの 4 行目: プロパティ名がありません"},
        TErrorCase{"DuplicateName",
                   Wrap("  object P: TTestPanel\n  end\n  object p: TTestPanel\n"
                        "  end\n"),
                   "フォームファイルの 4 行目: プロパティ Name: p という名前のコンポーネントは既に"
                   "存在します"},
        TErrorCase{"NestedTooDeep", Nested(10000),
                   "フォームファイルの 102 行目: オブジェクトの入れ子が深すぎます（上限 100 段）"},
        TErrorCase{"TextAfterEnd", Wrap("") + "object\n",
                   "フォームファイルの 3 行目: end の後に余分なテキストがあります"}),
    [](const testing::TestParamInfo<TErrorCase>& Info) { return Info.param.Title; });

TEST(FormReader, ReadsObjectsNestedAsDeepAsAllowed) {
    TTestForm Form;
    ReadComponentText(&Form, Nested(100));
    EXPECT_EQ(Form.ComponentCount(), 100);
}

TEST(FormReader, AnUnregisteredRootClassIsNamedAtTheFirstLine) {
    class TUnpublishedForm : public TTestForm {
    public:
        const char* ClassName() const override { return "TUnpublishedForm"; }
    } Form;
    try {
        ReadComponentText(&Form, "object F: TUnpublishedForm\n  Left = 1\nend\n");
        FAIL();
    } catch (const EReadError& E) {
        EXPECT_EQ(AnsiToUtf8(E.Message()),
                  "フォームファイルの 1 行目: クラス TUnpublishedForm が登録されていません");
    }
}

TEST(FormReader, MissingResourceIsAReadError) {
    TTestForm Form;
    EXPECT_THROW(ReadComponentRes(&Form, "nosuchform.dfm"), EReadError);
}

TEST(FormWriter, LeavesOutDefaultsAndEmptyValues) {
    TTestForm Form;
    Form.SetName("Form1");
    EXPECT_EQ(WriteComponentText(&Form), "object Form1: TTestForm\n"
                                         "  Left = 0\n"
                                         "  Params = <>\n"
                                         "end\n");
    Form.SetTag(3);
    Form.SetColor(0xFFFFFF);
    Form.SetCursor(-22);
    Form.SetOptions({tsBold, tsItalic});
    Form.Font()->SetSize(12);
    Form.SetData("secret"); // not stored
    EXPECT_EQ(WriteComponentText(&Form), "object Form1: TTestForm\n"
                                         "  Tag = 3\n"
                                         "  Left = 0\n"
                                         "  Cursor = -22\n"
                                         "  Color = clTestWhite\n"
                                         "  Options = [tsBold, tsItalic]\n"
                                         "  Font.Size = 12\n"
                                         "  Params = <>\n"
                                         "end\n");
}

TEST(FormWriter, QuotesTextReadablyAndControlCharactersAsCodes) {
    TTestForm Form;
    Form.SetName("F");
    Form.SetCaption("a'b\r\n　\t"_sj);
    Form.Items()->Add("");
    Form.Items()->Add("x");
    const std::string Text = WriteComponentText(&Form);
    EXPECT_NE(Text.find("  Caption = 'a''b'#13#10'　'#9\n"), std::string::npos) << Text;
    EXPECT_NE(Text.find("  Items.Strings = (\n    ''\n    'x')\n"), std::string::npos) << Text;
}

TEST(FormWriter, RefusesBytesThatAreNotCodePage932Text) {
    TTestForm Form;
    Form.SetCaption("\x81"); // a lead byte without its second byte
    EXPECT_THROW(WriteComponentText(&Form), EWriteError);
}

TEST(FormWriter, RoundTripGivesTheSameTextAndValues) {
    TTestForm Form;
    ReadComponentText(&Form, FullForm);
    const std::string Written = WriteComponentText(&Form);
    TTestForm Again;
    ReadComponentText(&Again, Written);
    EXPECT_EQ(WriteComponentText(&Again), Written);

    EXPECT_EQ(Again.Caption(), Form.Caption());
    EXPECT_EQ(Again.Font()->Style(), Form.Font()->Style());
    EXPECT_EQ(Again.EventNames(), Form.EventNames());
    for (const char* Name : {"Panel6", "ListBox1", "Grid1"}) {
        const TTestPanel* A = Panel(Form, Name);
        const TTestPanel* B = Panel(Again, Name);
        EXPECT_EQ(A->Left(), B->Left()) << Name;
        EXPECT_EQ(A->Color(), B->Color()) << Name;
        EXPECT_EQ(A->Cursor(), B->Cursor()) << Name;
        EXPECT_EQ(A->Visible(), B->Visible()) << Name;
        EXPECT_EQ(A->Options(), B->Options()) << Name;
        EXPECT_EQ(A->Caption(), B->Caption()) << Name;
        EXPECT_EQ(A->Items()->Text(), B->Items()->Text()) << Name;
        EXPECT_EQ(A->Widths()->Text(), B->Widths()->Text()) << Name;
        EXPECT_EQ(A->Data(), B->Data()) << Name;
        EXPECT_EQ(A->Params()->Count(), B->Params()->Count()) << Name;
        EXPECT_EQ(A->EventNames(), B->EventNames()) << Name;
        EXPECT_EQ(A->PopupMenu() ? A->PopupMenu()->Name() : "",
                  B->PopupMenu() ? B->PopupMenu()->Name() : "")
            << Name;
    }
    const auto* P = static_cast<TTestParam*>(Panel(Again, "Grid1")->Params()->Items(0));
    EXPECT_EQ(P->Caption(), "名　  称"_sj);
    EXPECT_EQ(P->Font()->Size(), 12);
    EXPECT_EQ(Written.find("#12288"), std::string::npos);
}

TEST(FormWriter, WritesNestingListsCollectionsAndBinaryInTheFormat) {
    TTestForm Form;
    ReadComponentText(&Form, FullForm);
    const std::string Written = WriteComponentText(&Form);
    EXPECT_NE(Written.find("  object Panel6: TTestPanel\n    Left = -120\n"), std::string::npos);
    EXPECT_NE(Written.find("    object ListBox1: TTestPanel\n"), std::string::npos);
    EXPECT_NE(Written.find("      Widths = (\n        10\n        181\n        150)\n"),
              std::string::npos)
        << Written;
    EXPECT_NE(Written.find("    Params = <\n      item\n        Alignment = taCenter\n"),
              std::string::npos)
        << Written;
    EXPECT_NE(Written.find("        Col = 2\n      end>\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("    Data = {\n      09544269746D6170}\n"), std::string::npos)
        << Written;
    EXPECT_NE(Written.find("    PopupMenu = PopupMenu1\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("  object PopupMenu1: TTestMenu\n  end\nend\n"), std::string::npos)
        << Written;
}
