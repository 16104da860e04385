// What each class publishes, in order and with its declared defaults; which values a written
// form file stores; and that a form file setting a property the class does not publish is
// refused.
#include "CtrlsReg.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "Forms.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The default as a form file would name it: an identifier where the property has one.
std::string DefaultText(const TPropInfo& P) {
    const std::int64_t V = *P.Default;
    if (P.Kind == TTypeKind::Enumeration)
        return P.EnumNames->at(static_cast<std::size_t>(V));
    if (P.Kind == TTypeKind::Set) {
        std::string Names;
        for (std::size_t I = 0; I < P.EnumNames->size(); ++I)
            if (V & (std::int64_t{1} << I))
                Names += std::string(Names.empty() ? "" : ",") + P.EnumNames->at(I);
        return "[" + Names + "]";
    }
    if (P.Idents)
        for (const auto& [Name, Value] : *P.Idents)
            if (Value == V)
                return Name;
    return std::to_string(V);
}

// "Name" for a property without a declared default, "Name=Default" for one with.
std::string Published(const char* Class) {
    std::string Out;
    for (const TPropInfo* P : FindClassInfo(Class)->AllProps()) {
        if (!Out.empty())
            Out += ' ';
        Out += P->Name;
        if (P->Default)
            Out += '=' + DefaultText(*P);
    }
    return Out;
}

const std::string Component = "Tag=0";
const std::string Control = Component + " Left Top Width Height Cursor=crDefault Hint "
                                        "HelpType=htContext HelpKeyword HelpContext=0";
const std::string LabelOwn =
    " Align=alNone Alignment=taLeftJustify AutoSize=True Caption Color DragCursor=crDrag "
    "DragMode=dmManual Enabled=True Font ParentColor=True ParentFont=True ParentShowHint=True "
    "PopupMenu ShowAccelChar=True ShowHint Transparent=False Layout=tlTop Visible=True "
    "WordWrap=False OnClick OnDblClick OnDragDrop OnDragOver OnEndDrag OnMouseDown OnMouseMove "
    "OnMouseUp OnMouseEnter OnMouseLeave OnStartDrag";
// The panel's list with the Ctl3D that goes in its place.
std::string PanelList(const std::string& Ctl3D) {
    return Control +
           " Align=alNone Alignment=taCenter BevelInner=bvNone BevelOuter=bvRaised BevelWidth=1 "
           "BorderWidth=0 BorderStyle=bsNone Caption Color=clBtnFace " +
           Ctl3D +
           " DragCursor=crDrag DragMode=dmManual Enabled=True FullRepaint=True Font "
           "ParentColor=False ParentFont=True ParentShowHint=True PopupMenu ShowHint "
           "TabOrder=-1 TabStop=False Visible=True OnClick OnDblClick OnDragDrop OnDragOver "
           "OnEndDrag OnEnter OnExit OnMouseDown OnMouseMove OnMouseUp OnResize OnStartDrag";
}
// The draw grid's list with the Options that goes in its place, before the column widths and
// row heights that every grid streams last.
std::string GridList(const std::string& Options, const std::string& Added) {
    return Control +
           " Align=alNone Color=clWindow ColCount=5 Ctl3D=True DefaultColWidth=64 "
           "DefaultRowHeight=24 DefaultDrawing=True DragCursor=crDrag DragMode=dmManual "
           "Enabled=True FixedColor=clBtnFace FixedCols=1 RowCount=5 FixedRows=1 Font "
           "GridLineWidth=1 " +
           Options +
           " ParentColor=False ParentFont=True ParentShowHint=True PopupMenu "
           "ScrollBars=ssBoth ShowHint TabOrder=-1 Visible=True OnClick OnDblClick OnDragDrop "
           "OnDragOver OnDrawCell OnEndDrag OnEnter OnExit OnGetEditText OnKeyDown OnKeyPress "
           "OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnSelectCell OnSetEditText OnStartDrag" +
           Added + " ColWidths RowHeights";
}
const std::string GridOptions =
    "Options=[goFixedVertLine,goFixedHorzLine,goVertLine,goHorzLine,goRangeSelect]";
const std::string OpenDialog =
    Component + " OnClose OnShow DefaultExt FileName Filter FilterIndex=1 InitialDir "
                "Options=[ofHideReadOnly,ofEnableSizing] Title OnSelectionChange OnTypeChange";
const std::string ExtChangeDialog = OpenDialog + " AutoExtChange=True ShowPlacesBar";

struct TListCase {
    const char* Class;
    std::string List;
};

class PublishedListTest : public testing::TestWithParam<TListCase> {};

TEST_P(PublishedListTest, NamesOrderAndDeclaredDefaultsAreTheListed) {
    EXPECT_EQ(Published(GetParam().Class), GetParam().List);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, PublishedListTest,
    testing::Values(
        TListCase{"TStrColGrid",
                  GridList("Options",
                           " CellParams Fonts Alignment=taLeftJustify FixedAlignment=taLeftJustify "
                           "FixedLayout=tlTop FocusDraw=True FocusCellColor=clHighlight "
                           "FocusCellFontColor=clHighlightText FocusCellFontColorEnabled=False "
                           "ImeMode=imDontCare CellDivide=True Layout OnCellChanged "
                           "OnColChanged OnRowChanged OnOutCellText OnDrawTextOneLine "
                           "BeforeDraw")},
        TListCase{"TSCGCellParam",
                  "Alignment=taLeftJustify Caption CaptionType=ctCellText CellColor "
                  "CellColorEnabled=False Col ColMax Brush BrushEnabled=False FontName "
                  "FontColor FontColorEnabled=False FontWidth ImeMode=imDontCare ImeModeEnabled "
                  "Layout=tlTop Name Options OptionsEnabled=False RangeEnabled=False Row RowMax "
                  "Tag OnEnterCell OnExitCell OnEnterCol OnExitCol OnEnterRow OnExitRow "
                  "OnOutCellText OnDrawTextOneLine OnDrawCell"},
        TListCase{"TSCGCellFont", "Font Name"}, TListCase{"TExtChangeOpenDialog", ExtChangeDialog},
        TListCase{"TEnhOpenDialog", ExtChangeDialog},
        TListCase{"TTextOpenDialog", ExtChangeDialog + " Preview"},
        TListCase{"TGradPan",
                  PanelList("Ctl3D") +
                      " BackGroundEffect VertAlign ColorEnd ColorStart ColorShadow TextEffect "
                      "TextRotation Bitmap Marge OnPanelMove Moveable"},
        TListCase{"TGradBox", Control + " StartColor EndColor GradStep Direction OnChange "
                                        "Align=alNone"},
        TListCase{"TBoxLabel",
                  Control + " Alignment HorizontalAlign Caption TextBorder BevelInner BevelOuter "
                            "BevelWidth Align=alNone Enabled=True Font FormatString "
                            "Color=clWindow DragCursor=crDrag DragMode=dmManual OnClick "
                            "OnDblClick OnDragDrop OnDragOver OnEndDrag OnMouseDown OnMouseMove "
                            "OnMouseUp PopUpMenu ParentFont=True ParentShowHint=True "
                            "ParentColor=False WordWrap BorderStyle Decimals Visible=True"},
        TListCase{"TIconButton",
                  Control + " ButtonStyle=bsFrame ColorChange=True Icon InColor=clActiveCaption "
                            "OutColor=clBtnFace Stretch Align=alNone DragCursor=crDrag "
                            "DragMode=dmManual Enabled=True ParentShowHint=True PopupMenu "
                            "ShowHint TabOrder=-1 TabStop=False Visible=True OnClick "
                            "OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit "
                            "OnMouseDown OnMouseEnter OnMouseLeave OnMouseMove OnMouseUp "
                            "OnResize OnStartDrag"},
        TListCase{"TURLLabel",
                  [] {
                      std::string List = Control + LabelOwn +
                                         " Executable HotTrack=True HotColor=clAqua "
                                         "PushedColor=clRed";
                      return List.replace(List.find("crDefault"), 9, "32761");
                  }()},
        TListCase{"TWinXP", Component}),
    [](const auto& Info) { return std::string(Info.param.Class); });

INSTANTIATE_TEST_SUITE_P(
    Framework, PublishedListTest,
    testing::Values(
        TListCase{"TLabel", Control + LabelOwn}, TListCase{"TPanel", PanelList("Ctl3D=True")},
        TListCase{"TButton",
                  Control + " Cancel=False Caption Default=False DragCursor=crDrag "
                            "DragMode=dmManual Enabled=True Font ModalResult=0 ParentFont=True "
                            "ParentShowHint=True PopupMenu ShowHint TabOrder=-1 TabStop=True "
                            "Visible=True OnClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit "
                            "OnKeyDown OnKeyPress OnKeyUp OnMouseDown OnMouseMove OnMouseUp "
                            "OnStartDrag"},
        TListCase{"TCheckBox",
                  Control + " AllowGrayed=False Caption Color Ctl3D=True DragCursor=crDrag "
                            "DragMode=dmManual Enabled=True Font ParentColor=False "
                            "ParentFont=True ParentShowHint=True PopupMenu ShowHint "
                            "State=cbUnchecked TabOrder=-1 TabStop=True Visible=True OnClick "
                            "OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnKeyDown "
                            "OnKeyPress OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnStartDrag"},
        TListCase{"TListBox", Control +
                                  " Align=alNone Color=clWindow Ctl3D=True DragCursor=crDrag "
                                  "DragMode=dmManual Enabled=True Font ImeMode=imDontCare "
                                  "ItemHeight=13 Items ParentColor=False ParentFont=True "
                                  "ParentShowHint=True PopupMenu ShowHint TabOrder=-1 TabStop=True "
                                  "Visible=True OnClick OnDblClick OnDragDrop OnDragOver OnEndDrag "
                                  "OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp OnMouseDown "
                                  "OnMouseMove OnMouseUp OnStartDrag"},
        TListCase{"TGroupBox",
                  Control + " Align=alNone Caption Color=clWindow Ctl3D=True DragCursor=crDrag "
                            "DragMode=dmManual Enabled=True Font ParentColor=False "
                            "ParentFont=True ParentShowHint=True PopupMenu ShowHint TabOrder=-1 "
                            "TabStop=False Visible=True OnClick OnDblClick OnDragDrop "
                            "OnDragOver OnEndDrag OnEnter OnExit OnMouseDown OnMouseMove "
                            "OnMouseUp OnStartDrag"},
        TListCase{"TRadioGroup",
                  Control + " Align=alNone Caption Color=clWindow Columns=1 Ctl3D=True "
                            "DragCursor=crDrag DragMode=dmManual Enabled=True Font ItemIndex=-1 "
                            "Items ParentColor=False ParentFont=True ParentShowHint=True "
                            "PopupMenu ShowHint TabOrder=-1 TabStop=True Visible=True OnClick "
                            "OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnStartDrag"},
        TListCase{"TMemo", Control +
                               " Align=alNone Color=clWindow Ctl3D=True DragCursor=crDrag "
                               "DragMode=dmManual Enabled=True Font ImeMode=imDontCare Lines "
                               "ParentColor=False ParentFont=True ParentShowHint=True PopupMenu "
                               "ReadOnly=False ScrollBars=ssNone ShowHint TabOrder=-1 TabStop=True "
                               "Visible=True WordWrap=True OnClick OnDblClick OnDragDrop "
                               "OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp "
                               "OnMouseDown OnMouseMove OnMouseUp OnStartDrag"},
        TListCase{"TBevel", Control + " Align=alNone ParentShowHint=True Shape=bsBox ShowHint "
                                      "Style=bsLowered Visible=True"},
        TListCase{"TStatusBar",
                  Control + " Align=alBottom Color=clBtnFace DragCursor=crDrag "
                            "DragMode=dmManual Enabled=True Font ParentColor=False "
                            "ParentFont=True ParentShowHint=True PopupMenu ShowHint "
                            "SimplePanel=False SimpleText SizeGrip=True Visible=True OnClick "
                            "OnDblClick OnDragDrop OnDragOver OnEndDrag OnMouseDown "
                            "OnMouseMove OnMouseUp OnResize OnStartDrag"},
        TListCase{"TDrawGrid", GridList(GridOptions, "")},
        TListCase{"TStringGrid", GridList(GridOptions, "")},
        TListCase{"TForm", Control +
                               " Align=alNone BorderStyle=bsSizeable Caption ClientHeight "
                               "ClientWidth Color=clBtnFace Ctl3D=True DragMode=dmManual "
                               "Enabled=True ParentFont=False Font PopupMenu Position=poDesigned "
                               "ShowHint Visible=False OnClick OnClose OnCreate OnDblClick "
                               "OnDestroy OnDragDrop OnDragOver OnKeyDown OnKeyPress OnKeyUp "
                               "OnMouseDown OnMouseMove OnMouseUp OnResize OnShow"},
        TListCase{"TOpenDialog", OpenDialog},
        TListCase{"TMenuItem", Component + " Caption Enabled=True Visible=True OnClick"},
        TListCase{"TPopupMenu", Component + " OnPopup"}, TListCase{"TXPManifest", Component}),
    [](const auto& Info) { return std::string(Info.param.Class); });

// The property lines written for C1, the one control of the form.
std::vector<std::string> WrittenLines(const std::string& Form) {
    std::vector<std::string> Lines;
    std::istringstream In(Form);
    bool Inside = false;
    for (std::string Line; std::getline(In, Line);) {
        if (Line.find("object C1:") != std::string::npos)
            Inside = true;
        else if (Inside && Line == "  end")
            break;
        else if (Inside)
            Lines.push_back(Line.substr(4));
    }
    return Lines;
}

struct TStoredCase {
    const char* Class;
    std::vector<std::string> Lines;
};

class StoredValuesTest : public testing::TestWithParam<TStoredCase> {};

// A fresh control stores what has no declared default, and what differs from it; reading the
// written form back gives the same form file.
TEST_P(StoredValuesTest, AFreshControlStoresWhatHasNoDeclaredDefault) {
    const std::string Text =
        "object Form1: TForm\n  object C1: " + std::string(GetParam().Class) + "\n  end\nend\n";
    TForm Form(nullptr);
    ReadComponentText(&Form, Text);
    // An auto-sized label measures a space in its font, whose metrics are the platform's.
    TBitmap Measure(1, 1);
    Measure.Canvas()->SetFont(dynamic_cast<TControl*>(Form.FindComponent("C1"))->Font());
    std::vector<std::string> Expected = GetParam().Lines;
    for (std::string& Line : Expected)
        if (Line == "Width = ?space")
            Line = "Width = " + std::to_string(Measure.Canvas()->TextWidth(" "));
        else if (Line == "Height = ?line")
            Line = "Height = " + std::to_string(Measure.Canvas()->TextHeight(" "));
    const std::string Written = WriteComponentText(&Form);
    EXPECT_EQ(WrittenLines(Written), Expected) << Written;
    TForm Again(nullptr);
    ReadComponentText(&Again, Written);
    EXPECT_EQ(WriteComponentText(&Again), Written);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, StoredValuesTest,
    testing::Values(
        TStoredCase{"TBoxLabel",
                    {"Left = 0", "Top = 0", "Width = 70", "Height = 20", "Alignment = taCenter",
                     "HorizontalAlign = haCenter", "TextBorder = 2", "BevelInner = bvLowered",
                     "BevelOuter = bvRaised", "BevelWidth = 1", "Color = clBtnFace",
                     "WordWrap = False", "BorderStyle = bsNone", "Decimals = 0"}},
        TStoredCase{"TIconButton",
                    {"Left = 0", "Top = 0", "Width = 36", "Height = 36", "Stretch = False",
                     "TabOrder = 0"}},
        TStoredCase{
            "TURLLabel",
            {"Left = 0", "Top = 0", "Width = ?space", "Height = ?line", "Executable = False"}},
        TStoredCase{"TGradBox",
                    {"Left = 0", "Top = 0", "Width = 128", "Height = 128", "StartColor = clWhite",
                     "EndColor = clBlack", "GradStep = 128", "Direction = gdVertical"}}),
    [](const auto& Info) { return std::string(Info.param.Class); });

struct TRefusedCase {
    const char* Class;
    const char* Setting;
};

class UnpublishedPropertyTest : public testing::TestWithParam<TRefusedCase> {};

TEST_P(UnpublishedPropertyTest, IsRefusedNamingLinePropertyAndClass) {
    const std::string Class = GetParam().Class;
    const std::string Setting = GetParam().Setting;
    TForm Form(nullptr);
    try {
        ReadComponentText(&Form, "object Form1: TForm\n  object C1: " + Class +
                                     "\n    Left = 1\n    " + Setting + " = 1\n  end\nend\n");
        ADD_FAILURE() << "accepted";
    } catch (const EReadError& E) {
        EXPECT_EQ(AnsiToUtf8(E.Message()), "フォームファイルの 4 行目: クラス " + Class +
                                               " にプロパティ " + Setting + " がありません");
    }
    EXPECT_EQ(Form.ComponentCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Controls, UnpublishedPropertyTest,
                         testing::Values(TRefusedCase{"TIconButton", "Color"},
                                         TRefusedCase{"TIconButton", "BevelWidth"},
                                         TRefusedCase{"TGradBox", "Enabled"},
                                         TRefusedCase{"TBoxLabel", "ShowHint"},
                                         TRefusedCase{"TBevel", "Font.Height"}));

} // namespace
