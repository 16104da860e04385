// The column string grid without pixels: its two collections, their validation and messages,
// the cell lookup, the selection protocol, the options in force and form-file round trips.
#include "StrCGrid.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr TGridOptions GridDefaults{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                    goRangeSelect};

// Opens the protected steps that the framework calls, so that tests can call them directly.
class TProbeGrid : public TStrColGrid {
public:
    using TStrColGrid::CreateEditor;
    using TStrColGrid::SelectCell;
    using TStrColGrid::TStrColGrid;
    void SetDesigningForTest() { SetDesigning(true); }
};

std::unique_ptr<TProbeGrid> MakeGrid(int Cols = 6, int Rows = 6) {
    auto Grid = std::make_unique<TProbeGrid>(nullptr);
    Grid->SetColCount(Cols);
    Grid->SetRowCount(Rows);
    return Grid;
}

// A grid as a form leaves it: on a shown window, so that its editor can take the focus, and
// loaded, so that its last cell is the current one (1, 1).
struct TShownGrid {
    std::unique_ptr<TWinControl> Window;
    TProbeGrid* Grid;
    TProbeGrid* operator->() const { return Grid; }
    TProbeGrid& operator*() const { return *Grid; }
};

TShownGrid MakeLoadedGrid() {
    auto Window = std::make_unique<TWinControl>(nullptr);
    Window->SetBounds(0, 0, 420, 220);
    auto* Grid = new TProbeGrid(Window.get());
    Grid->SetParent(Window.get());
    Grid->SetColCount(6);
    Grid->SetRowCount(6);
    Grid->SetBounds(0, 0, 400, 200);
    Grid->BeginLoading();
    Grid->EndLoading();
    Grid->Loaded();
    TestSupport::ShowWindow(Window.get());
    return {std::move(Window), Grid};
}

TSCGCellParam* AddParam(TStrColGrid& Grid, int Col, int Row) {
    TSCGCellParam* P = Grid.CellParams()->Add();
    P->SetCol(Col);
    P->SetRow(Row);
    return P;
}

TSCGCellParam* AddRange(TStrColGrid& Grid, int Col, int Row, int ColMax, int RowMax) {
    TSCGCellParam* P = Grid.CellParams()->Add();
    P->SetColMax(ColMax);
    P->SetRowMax(RowMax);
    P->SetCol(Col);
    P->SetRow(Row);
    P->SetRangeEnabled(true);
    return P;
}

// The message of the exception F raises, or "" when it raises none.
template <class E, class F> AnsiString MessageOf(F&& Action) {
    try {
        Action();
    } catch (const E& Error) {
        return Error.Message();
    }
    return "";
}

// The item the grid must find: the covering item at the highest position.
TSCGCellParam* ScanFromEnd(const TSCGCellParams& Params, int Col, int Row) {
    for (int I = Params.Count() - 1; I >= 0; --I)
        if (Params.Items(I)->Covers(Col, Row))
            return Params.Items(I);
    return nullptr;
}

} // namespace

// ---- The grid itself

TEST(StrColGrid, NewGridStartsWithTheDocumentedValues) {
    auto Grid = MakeGrid();
    EXPECT_EQ(Grid->Alignment(), taLeftJustify);
    EXPECT_EQ(Grid->FixedAlignment(), taLeftJustify);
    EXPECT_EQ(Grid->FixedLayout(), tlTop);
    EXPECT_EQ(Grid->Layout(), tlTop);
    EXPECT_TRUE(Grid->FocusDraw());
    EXPECT_TRUE(Grid->CellDivide());
    EXPECT_EQ(Grid->FocusCellColor(), clHighlight);
    EXPECT_EQ(Grid->FocusCellFontColor(), clHighlightText);
    EXPECT_FALSE(Grid->FocusCellFontColorEnabled());
    EXPECT_EQ(Grid->ImeMode(), imDontCare);
    EXPECT_EQ(Grid->Options(), GridDefaults);
    EXPECT_EQ(Grid->TCustomGrid::Options(), GridDefaults);
    EXPECT_FALSE(Grid->DefaultDrawing());
    EXPECT_TRUE(Grid->DoubleBuffered());
    EXPECT_EQ(Grid->CellParams()->Count(), 0);
    EXPECT_EQ(Grid->Fonts()->Count(), 0);
}

TEST(StrColGrid, PublishedOptionsAreTheGridsOwnAndGoInForce) {
    auto Grid = MakeGrid();
    const TGridOptions Editing = GridDefaults + TGridOptions{goEditing};
    Grid->SetOptions(Editing);
    EXPECT_EQ(Grid->Options(), Editing);
    EXPECT_EQ(Grid->TCustomGrid::Options(), Editing);
}

// ---- Cell parameters

TEST(SCGCellParams, NamesCountItemsSoADeletionRepeatsTheLastName) {
    auto Grid = MakeGrid();
    TSCGCellParams* Params = Grid->CellParams();
    for (int I = 0; I < 3; ++I)
        Params->Add();
    EXPECT_EQ(Params->Items(0)->Name(), "パラメータ1"_sj);
    EXPECT_EQ(Params->Items(2)->Name(), "パラメータ3"_sj);
    Params->Delete(0);
    Params->Add();
    EXPECT_EQ(Params->Items(2)->Name(), "パラメータ3"_sj);
    EXPECT_EQ(Params->Items(1)->Name(), Params->Items(2)->Name());
}

TEST(SCGCellParams, ExplicitNameReplacesTheNumberedOneAndMayBeEmpty) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = Grid->CellParams()->Add();
    P->SetName("見出し"_sj);
    EXPECT_EQ(P->Name(), "見出し"_sj);
    P->SetName("");
    EXPECT_EQ(P->Name(), "");
}

TEST(SCGCellParams, DisplayNameShowsNameAndBothCornersInThreeColumns) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 0);
    EXPECT_EQ(P->GetDisplayName(), "パラメータ1 (  1,  0)-(  0,  0)"_sj);
    P->SetColMax(-5);
    P->SetRow(1234);
    EXPECT_EQ(P->GetDisplayName(), "パラメータ1 (  1,1234)-( -5,  0)"_sj);
}

TEST(SCGCellParams, NewItemStartsWithTheDocumentedValues) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = Grid->CellParams()->Add();
    EXPECT_EQ(P->CaptionType(), ctCellText);
    EXPECT_EQ(P->CellColor(), clWindow);
    EXPECT_EQ(P->FontColor(), clWindowText);
    EXPECT_EQ(P->FontWidth(), 1);
    EXPECT_EQ(P->ImeMode(), imDontCare);
    EXPECT_EQ(P->Alignment(), taLeftJustify);
    EXPECT_EQ(P->Layout(), tlTop);
    EXPECT_EQ(P->Caption(), "");
    EXPECT_EQ(P->FontName(), "");
    EXPECT_EQ(P->Tag(), 0);
    EXPECT_FALSE(P->CellColorEnabled() || P->FontColorEnabled() || P->BrushEnabled() ||
                 P->ImeModeEnabled() || P->OptionsEnabled() || P->RangeEnabled());
    EXPECT_EQ(P->Brush()->Color(), clWhite);
    EXPECT_EQ(P->Brush()->Style(), bsSolid);
    EXPECT_FALSE(P->OnEnterCell() || P->OnDrawCell() || P->OnOutCellText());
}

TEST(SCGCellParams, NewItemTakesTheGridOptionsOfThatMomentOnly) {
    auto Grid = MakeGrid();
    const TGridOptions Editing = GridDefaults + TGridOptions{goEditing};
    Grid->SetOptions(Editing);
    TSCGCellParam* P = Grid->CellParams()->Add();
    Grid->SetOptions(GridDefaults);
    EXPECT_EQ(P->Options(), Editing);
}

TEST(SCGCellParams, NegativePositionIsRefusedWithDisplayNameAndKeepsTheOldValue) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 2, 3);
    const AnsiString Prefix = P->GetDisplayName();
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetCol(-1); }),
              Prefix + ".Col の値が 0 を下まわりました"_sj);
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetRow(-1); }),
              Prefix + ".Row の値が 0 を下まわりました"_sj);
    EXPECT_EQ(P->Col(), 2);
    EXPECT_EQ(P->Row(), 3);
    EXPECT_EQ(Grid->GetCellParam(2, 3, false), P);
}

TEST(SCGCellParams, RangeSwitchNeedsOrderedCornersUnlessLoading) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = Grid->CellParams()->Add();
    P->SetColMax(-5); // accepted while the item addresses a single cell
    EXPECT_EQ(P->ColMax(), -5);
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetRangeEnabled(true); }), "範囲が不正です"_sj);
    EXPECT_FALSE(P->RangeEnabled());

    Grid->BeginLoading();
    P->SetRangeEnabled(true);
    Grid->EndLoading();
    EXPECT_TRUE(P->RangeEnabled());
    // Nothing is checked again afterwards, and such a range covers nothing.
    EXPECT_EQ(Grid->GetCellParam(0, 0, false), nullptr);
}

TEST(SCGCellParams, MovingARangeMustWidenFirst) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddRange(*Grid, 2, 1, 4, 1);
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetCol(5); }), "範囲が不正です"_sj);
    EXPECT_EQ(P->Col(), 2);
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetColMax(1); }), "範囲が不正です"_sj);
    EXPECT_EQ(P->ColMax(), 4);
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetRowMax(0); }), "範囲が不正です"_sj);
    EXPECT_EQ(P->RowMax(), 1);
    P->SetColMax(6);
    P->SetCol(5);
    EXPECT_EQ(Grid->GetCellParam(6, 1, false), P);
    EXPECT_EQ(Grid->GetCellParam(4, 1, false), nullptr);
}

TEST(SCGCellParams, FontWidthAcceptsZeroAndRefusesNegatives) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = Grid->CellParams()->Add();
    P->SetFontWidth(0);
    EXPECT_EQ(P->FontWidth(), 0);
    EXPECT_EQ(MessageOf<ERangeError>([&] { P->SetFontWidth(-1); }),
              P->GetDisplayName() + ".FontWidth の値が範囲を超えました"_sj);
    EXPECT_EQ(P->FontWidth(), 0);
}

TEST(SCGCellParams, FontNameKeepsOnlyNamesOfRegisteredFontsComparedExactly) {
    auto Grid = MakeGrid();
    Grid->Fonts()->Add()->SetName("Head");
    TSCGCellParam* P = Grid->CellParams()->Add();
    P->SetFontName("Head");
    EXPECT_EQ(P->FontName(), "Head");
    EXPECT_NO_THROW(P->SetFontName("head"));
    EXPECT_EQ(P->FontName(), "");
    P->SetFontName("Head");
    P->SetFontName("Ghost");
    EXPECT_EQ(P->FontName(), "");
}

TEST(SCGCellParams, AssignCopiesEverythingIncludingNameHandlersAndPlace) {
    auto Grid = MakeGrid();
    Grid->Fonts()->Add();
    TSCGCellParam* Source = AddRange(*Grid, 1, 1, 3, 2);
    Source->SetName("元"_sj);
    Source->SetCaption("見出し"_sj);
    Source->SetCaptionType(ctTop);
    Source->SetFontName("フォント1"_sj);
    Source->SetFontWidth(3);
    Source->SetTag(7);
    Source->SetImeMode(imHira);
    Source->SetImeModeEnabled(true);
    Source->Brush()->SetColor(clRed);
    Source->SetBrushEnabled(true);
    int Calls = 0;
    Source->SetOnEnterCell([&](TObject*, TStrColGrid*, int, int, int, int) { ++Calls; });
    Source->SetOnDrawCell(
        [&](TObject*, TStrColGrid*, int, int, const TRect&, TGridDrawState) { ++Calls; });

    TSCGCellParam* Copy = Grid->CellParams()->Add();
    Copy->Assign(Source);
    EXPECT_EQ(Copy->Name(), "元"_sj);
    EXPECT_EQ(Copy->Caption(), "見出し"_sj);
    EXPECT_EQ(Copy->CaptionType(), ctTop);
    EXPECT_EQ(Copy->FontName(), "フォント1"_sj);
    EXPECT_EQ(Copy->FontWidth(), 3);
    EXPECT_EQ(Copy->Tag(), 7);
    EXPECT_EQ(Copy->ImeMode(), imHira);
    EXPECT_TRUE(Copy->ImeModeEnabled() && Copy->BrushEnabled() && Copy->RangeEnabled());
    EXPECT_EQ(Copy->Brush()->Color(), clRed);
    EXPECT_EQ(Copy->GetDisplayName(), "元 (  1,  1)-(  3,  2)"_sj);
    Copy->OnEnterCell()(Copy, Grid.get(), 0, 0, 0, 0);
    Copy->OnDrawCell()(Copy, Grid.get(), 0, 0, TRect{}, TGridDrawState{});
    EXPECT_EQ(Calls, 2);
    // The copy now governs the range, being the later item.
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Copy);

    // Assigning a default item back empties what the copy had.
    Copy->Assign(Grid->CellParams()->Add());
    EXPECT_EQ(Copy->Caption(), "");
    EXPECT_EQ(Copy->Brush()->Color(), clWhite);
    EXPECT_FALSE(Copy->OnEnterCell());
}

TEST(SCGCellParams, AssignFromAnotherKindOfObjectRaises) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = Grid->CellParams()->Add();
    EXPECT_THROW(P->Assign(Grid->Fonts()->Add()), EConvertError);
}

TEST(SCGCellParams, CollectionAssignCopiesItemsIntoAnotherGrid) {
    auto Source = MakeGrid();
    AddParam(*Source, 2, 3)->SetCaption("a");
    AddRange(*Source, 1, 1, 4, 4)->SetCaption("b");
    auto Target = MakeGrid();
    AddParam(*Target, 5, 5);
    Target->CellParams()->Assign(Source->CellParams());
    ASSERT_EQ(Target->CellParams()->Count(), 2);
    EXPECT_EQ(Target->GetCellParam(5, 5, false), nullptr);
    EXPECT_EQ(Target->GetCellParam(2, 3, false)->Caption(), "b");
    EXPECT_EQ(Target->GetCellParam(1, 4, false)->Caption(), "b");
    EXPECT_EQ(Target->CellParams()->GetOwner(), Target.get());
}

// ---- Named fonts

TEST(SCGCellFonts, NewFontsAreNumberedAndCopyTheGridFont) {
    auto Grid = MakeGrid();
    Grid->Font()->SetName("IPAGothic");
    Grid->Font()->SetSize(12);
    Grid->Fonts()->Add();
    TSCGCellFont* Second = Grid->Fonts()->Add();
    EXPECT_EQ(Second->Name(), "フォント2"_sj);
    EXPECT_EQ(Second->Font()->Name(), "IPAGothic");
    EXPECT_EQ(Second->GetDisplayName(), "フォント2( IPAGothic, 12 )"_sj);
    Grid->Font()->SetSize(20);
    EXPECT_EQ(Second->Font()->Size(), 12);
    EXPECT_EQ(Grid->Fonts()->GetOwner(), Grid.get());
}

TEST(SCGCellFonts, NamesMustBeNonEmptyAndUniqueIncludingTheirOwn) {
    auto Grid = MakeGrid();
    TSCGCellFont* First = Grid->Fonts()->Add();
    TSCGCellFont* Second = Grid->Fonts()->Add();
    EXPECT_EQ(MessageOf<Exception>([&] { Second->SetName(""); }), "フォント名は空にできません"_sj);
    EXPECT_EQ(MessageOf<Exception>([&] { Second->SetName("フォント1"_sj); }),
              "このフォント名はすでに使用されています"_sj);
    First->SetName("見出し"_sj);
    EXPECT_EQ(MessageOf<Exception>([&] { First->SetName("見出し"_sj); }),
              "このフォント名はすでに使用されています"_sj);
    Second->SetName("Head");
    EXPECT_NO_THROW(First->SetName("HEAD"));
    EXPECT_EQ(Second->Name(), "Head");
}

TEST(SCGCellFonts, IndexOfNameFindsTheFirstExactMatchOrRaises) {
    auto Grid = MakeGrid();
    Grid->Fonts()->Add();
    Grid->Fonts()->Add()->SetName("Body");
    EXPECT_EQ(Grid->Fonts()->IndexOfName("Body"), 1);
    EXPECT_EQ(MessageOf<Exception>([&] { Grid->Fonts()->IndexOfName("body"); }),
              "CellParams で指定されたフォント名が Fonts に登録されていません"_sj);
}

TEST(SCGCellFonts, RenamingAFontCarriesItsReferencesAlong) {
    auto Grid = MakeGrid();
    TSCGCellFont* Font = Grid->Fonts()->Add();
    Grid->Fonts()->Add();
    TSCGCellParam* A = AddParam(*Grid, 1, 1);
    TSCGCellParam* B = AddParam(*Grid, 2, 1);
    TSCGCellParam* Other = AddParam(*Grid, 3, 1);
    A->SetFontName("フォント1"_sj);
    B->SetFontName("フォント1"_sj);
    Other->SetFontName("フォント2"_sj);
    Font->SetName("見出し"_sj);
    EXPECT_EQ(A->FontName(), "見出し"_sj);
    EXPECT_EQ(B->FontName(), "見出し"_sj);
    EXPECT_EQ(Other->FontName(), "フォント2"_sj);
}

TEST(SCGCellFonts, RemovingAFontClearsItsReferences) {
    auto Grid = MakeGrid();
    Grid->Fonts()->Add();
    Grid->Fonts()->Add();
    TSCGCellParam* A = AddParam(*Grid, 1, 1);
    TSCGCellParam* B = AddParam(*Grid, 2, 1);
    A->SetFontName("フォント1"_sj);
    B->SetFontName("フォント2"_sj);
    Grid->Fonts()->Delete(0);
    EXPECT_EQ(A->FontName(), "");
    EXPECT_EQ(B->FontName(), "フォント2"_sj);
    Grid->Fonts()->Clear();
    EXPECT_EQ(B->FontName(), "");
}

TEST(SCGCellFonts, LoadingSkipsUniquenessAndReferenceChecks) {
    auto Grid = MakeGrid();
    Grid->Fonts()->Add();
    TSCGCellParam* P = Grid->CellParams()->Add();
    Grid->BeginLoading();
    P->SetFontName("未登録"_sj);
    Grid->Fonts()->Add()->SetName("フォント1"_sj);
    EXPECT_THROW(Grid->Fonts()->Items(1)->SetName(""), Exception);
    Grid->EndLoading();
    EXPECT_EQ(P->FontName(), "未登録"_sj);
    EXPECT_EQ(Grid->Fonts()->Items(1)->Name(), "フォント1"_sj);
}

TEST(SCGCellFonts, FontAssignCopiesNameAndFaceWithoutChecks) {
    auto Grid = MakeGrid();
    TSCGCellFont* A = Grid->Fonts()->Add();
    A->Font()->SetName("IPAMincho");
    TSCGCellFont* B = Grid->Fonts()->Add();
    B->Assign(A);
    EXPECT_EQ(B->Name(), "フォント1"_sj);
    EXPECT_EQ(B->Font()->Name(), "IPAMincho");
    EXPECT_THROW(B->Assign(Grid->CellParams()->Add()), EConvertError);
}

// ---- Cell lookup

TEST(StrColGridLookup, LaterItemWinsAndRangeBoundsAreInclusive) {
    auto Grid = MakeGrid();
    TSCGCellParam* Range = AddRange(*Grid, 1, 1, 3, 3);
    TSCGCellParam* Single = AddParam(*Grid, 2, 2);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Single);
    EXPECT_EQ(Grid->GetCellParam(1, 1, false), Range);
    EXPECT_EQ(Grid->GetCellParam(3, 3, false), Range);
    EXPECT_EQ(Grid->GetCellParam(4, 3, false), nullptr);
    EXPECT_EQ(Grid->GetCellParam(3, 0, false), nullptr);
    TSCGCellParam* Later = AddRange(*Grid, 2, 2, 2, 2);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Later);
    TSCGCellParam* Twin = AddParam(*Grid, 2, 2);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Twin);
}

TEST(StrColGridLookup, FollowsMovesDeletionsAndSwitchesOfItems) {
    auto Grid = MakeGrid();
    TSCGCellParam* Range = AddRange(*Grid, 0, 0, 5, 5);
    TSCGCellParam* Single = AddParam(*Grid, 2, 2);
    Range->SetIndex(1);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Range);
    Range->SetRangeEnabled(false);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Single);
    EXPECT_EQ(Grid->GetCellParam(0, 0, false), Range);
    Range->SetCol(2);
    Range->SetRow(2);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Range);
    EXPECT_EQ(Grid->GetCellParam(0, 0, false), nullptr);
    Grid->CellParams()->Delete(1);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), Single);
    delete Single;
    EXPECT_EQ(Grid->CellParams()->Count(), 0);
    EXPECT_EQ(Grid->GetCellParam(2, 2, false), nullptr);
}

TEST(StrColGridLookup, CaptionCellIsStillFoundAfterANewItemPassedThroughIt) {
    auto Grid = MakeGrid();
    TSCGCellParam* Caption0 = AddParam(*Grid, 0, 0);
    TSCGCellParam* Caption1 = AddParam(*Grid, 1, 0);
    // The new item starts at (0, 0), then moves to (1, 0), then to (1, 5).
    Grid->SetCellAlignment(1, 5, taRightJustify);
    EXPECT_EQ(Grid->GetCellParam(0, 0, false), Caption0);
    EXPECT_EQ(Grid->GetCellParam(1, 0, false), Caption1);
    EXPECT_EQ(Grid->GetCellParam(1, 5, false)->Alignment(), taRightJustify);
}

TEST(StrColGridLookup, AgreesWithAScanFromTheEndUnderRandomEdits) {
    auto Grid = MakeGrid(8, 8);
    TSCGCellParams* Params = Grid->CellParams();
    std::mt19937 Random(20240315);
    const auto Pick = [&](int N) { return std::uniform_int_distribution<int>(0, N - 1)(Random); };
    for (int Step = 0; Step < 4000; ++Step) {
        const int Count = Params->Count();
        TSCGCellParam* Item = Count ? Params->Items(Pick(Count)) : nullptr;
        try {
            switch (Pick(Count ? 9 : 1)) {
            case 0:
                Params->Add();
                break;
            case 1:
                Grid->SetCellAlignment(Pick(9), Pick(9), taCenter);
                break;
            case 2:
                Item->SetCol(Pick(8));
                break;
            case 3:
                Item->SetRow(Pick(8));
                break;
            case 4:
                Item->SetColMax(Pick(8));
                Item->SetRowMax(Pick(8));
                Item->SetRangeEnabled(Pick(2) == 0);
                break;
            case 5:
                Item->SetIndex(Pick(Count));
                break;
            case 6:
                if (Pick(6) == 0)
                    Params->Delete(Item->Index());
                break;
            case 7:
                Item->Assign(Params->Items(Pick(Count)));
                break;
            case 8:
                if (Pick(200) == 0)
                    Params->Clear();
                break;
            }
        } catch (const ERangeError&) {
            // refused edits must leave the lookup as it was, which the check below proves
        }
        for (int C = 0; C <= 8; ++C)
            for (int R = 0; R <= 8; ++R)
                ASSERT_EQ(Params->Find(C, R), ScanFromEnd(*Params, C, R))
                    << "step " << Step << " cell " << C << "," << R;
    }
}

TEST(StrColGridLookup, AgreesWithTheLastItemOfEachCellWhileManyCellsComeAndGo) {
    // 1,521 distinct cells, on adjacent rows that share slots of the lookup, and on rows far
    // apart that take one slot each, so that runs of slots form, wrap and close up again.
    constexpr int Size = 39;
    for (const int Stride : {1, 53}) {
        auto Grid = MakeGrid(Size, Size * Stride);
        TSCGCellParams* Params = Grid->CellParams();
        for (int C = 0; C < Size; ++C)
            for (int R = 0; R < Size; ++R)
                Grid->SetCellAlignment(C, R * Stride, taRightJustify);
        std::mt19937 Random(7);
        const auto Pick = [&](int N) {
            return std::uniform_int_distribution<int>(0, N - 1)(Random);
        };
        while (Params->Count() > 0) {
            TSCGCellParam* Item = Params->Items(Pick(Params->Count()));
            if (Pick(3) == 0) {
                Item->SetCol(Pick(Size));
                Item->SetRow(Pick(Size) * Stride);
            } else {
                Params->Delete(Item->Index());
            }
            std::vector<TSCGCellParam*> Last(Size * Size, nullptr);
            for (int I = 0; I < Params->Count(); ++I)
                Last[Params->Items(I)->Col() * Size + Params->Items(I)->Row() / Stride] =
                    Params->Items(I);
            for (int C = 0; C < Size; ++C)
                for (int R = 0; R < Size; ++R)
                    ASSERT_EQ(Params->Find(C, R * Stride), Last[C * Size + R])
                        << "stride " << Stride << " cell " << C << "," << R * Stride;
        }
    }
}

TEST(StrColGridLookup, CreatedParameterCopiesTheGridColoursOfThatMoment) {
    auto Grid = MakeGrid();
    Grid->SetFixedColor(12615808);
    Grid->SetColor(clYellow);
    Grid->Font()->SetColor(clNavy);
    TSCGCellParam* Caption = Grid->GetCellParam(2, 0, true);
    TSCGCellParam* Marker = Grid->GetCellParam(0, 3, true);
    TSCGCellParam* Body = Grid->GetCellParam(2, 3, true);
    EXPECT_EQ(Caption->CellColor(), 12615808);
    EXPECT_EQ(Marker->CellColor(), 12615808);
    EXPECT_EQ(Body->CellColor(), clYellow);
    for (TSCGCellParam* P : {Caption, Marker, Body}) {
        EXPECT_TRUE(P->CellColorEnabled());
        EXPECT_TRUE(P->FontColorEnabled());
        EXPECT_EQ(P->FontColor(), clNavy);
        EXPECT_EQ(P->Caption(), "");
    }
    Grid->SetColor(clWhite);
    EXPECT_EQ(Body->CellColor(), clYellow);
    EXPECT_EQ(Grid->GetCellParam(2, 3, true), Body);
    EXPECT_EQ(Grid->CellParams()->Count(), 3);
}

TEST(StrColGridLookup, CreatingForANegativeCellRaisesAndLeavesNoItem) {
    auto Grid = MakeGrid();
    // The column is taken before the row is checked, as the setters would do one by one.
    EXPECT_EQ(MessageOf<ERangeError>([&] { Grid->GetCellParam(-1, 2, true); }),
              "パラメータ1 (  0,  0)-(  0,  0).Col の値が 0 を下まわりました"_sj);
    EXPECT_EQ(MessageOf<ERangeError>([&] { Grid->GetCellParam(2, -1, true); }),
              "パラメータ1 (  2,  0)-(  0,  0).Row の値が 0 を下まわりました"_sj);
    EXPECT_EQ(Grid->CellParams()->Count(), 0);
    EXPECT_EQ(Grid->GetCellParam(0, 0, false), nullptr);
}

TEST(StrColGridAlignment, AcceptsOnePastTheLastColumnAndRowOnly) {
    auto Grid = MakeGrid(13, 50);
    Grid->SetCellAlignment(4, 50, taRightJustify);
    Grid->SetCellAlignment(13, 1, taRightJustify);
    EXPECT_EQ(Grid->CellParams()->Count(), 2);
    EXPECT_EQ(Grid->GetCellParam(4, 50, false)->Alignment(), taRightJustify);
    const AnsiString OutOfGrid = "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。"_sj;
    EXPECT_EQ(MessageOf<ERangeError>([&] { Grid->SetCellAlignment(4, 51, taRightJustify); }),
              OutOfGrid);
    EXPECT_EQ(MessageOf<ERangeError>([&] { Grid->SetCellAlignment(14, 1, taRightJustify); }),
              OutOfGrid);
    EXPECT_EQ(MessageOf<ERangeError>([&] { Grid->SetCellAlignment(-1, 1, taRightJustify); }),
              OutOfGrid);
    EXPECT_EQ(MessageOf<ERangeError>([&] { Grid->SetCellAlignment(1, -1, taRightJustify); }),
              OutOfGrid);
    EXPECT_EQ(Grid->CellParams()->Count(), 2);
}

TEST(StrColGridAlignment, ChangesTheCoveringItemInsteadOfAddingOne) {
    auto Grid = MakeGrid();
    TSCGCellParam* Single = AddParam(*Grid, 1, 1);
    TSCGCellParam* Range = AddRange(*Grid, 2, 2, 4, 4);
    Grid->SetCellAlignment(1, 1, taCenter);
    Grid->SetCellAlignment(3, 3, taRightJustify);
    EXPECT_EQ(Grid->CellParams()->Count(), 2);
    EXPECT_EQ(Single->Alignment(), taCenter);
    EXPECT_EQ(Range->Alignment(), taRightJustify);
}

// ---- Selection

namespace {

// Records every selection event of the grid and of two parameters in one list.
struct TEventLog {
    std::vector<std::string> Entries;

    void Watch(TStrColGrid& Grid) {
        Grid.OnCellChanged = [this](TObject*, int OC, int OR, int NC, int NR) {
            Add("grid.cell", {OC, OR, NC, NR});
        };
        Grid.OnColChanged = [this](TObject*, int O, int N) { Add("grid.col", {O, N}); };
        Grid.OnRowChanged = [this](TObject*, int O, int N) { Add("grid.row", {O, N}); };
    }
    void Watch(TSCGCellParam& P, const std::string& Name) {
        P.SetOnExitCell([this, Name](TObject* S, TStrColGrid*, int OC, int OR, int NC, int NR) {
            Add(Name + ".exitcell", {OC, OR, NC, NR}, S);
        });
        P.SetOnExitCol([this, Name](TObject* S, TStrColGrid*, int O, int N) {
            Add(Name + ".exitcol", {O, N}, S);
        });
        P.SetOnExitRow([this, Name](TObject* S, TStrColGrid*, int O, int N) {
            Add(Name + ".exitrow", {O, N}, S);
        });
        P.SetOnEnterCell([this, Name](TObject* S, TStrColGrid*, int OC, int OR, int NC, int NR) {
            Add(Name + ".entercell", {OC, OR, NC, NR}, S);
        });
        P.SetOnEnterCol([this, Name](TObject* S, TStrColGrid*, int O, int N) {
            Add(Name + ".entercol", {O, N}, S);
        });
        P.SetOnEnterRow([this, Name](TObject* S, TStrColGrid*, int O, int N) {
            Add(Name + ".enterrow", {O, N}, S);
        });
        Params[Name] = &P;
    }
    void Add(const std::string& What, std::vector<int> Args, TObject* Sender = nullptr) {
        std::string Entry = What;
        for (int A : Args)
            Entry += " " + std::to_string(A);
        if (Sender && Params[What.substr(0, What.find('.'))] != Sender)
            Entry += " (wrong sender)";
        Entries.push_back(Entry);
    }
    std::map<std::string, TObject*> Params;
};

} // namespace

TEST(StrColGridSelection, ColumnMoveFiresExitEnterAndGridEventsInOrder) {
    auto Grid = MakeLoadedGrid();
    TSCGCellParam* From = AddParam(*Grid, 1, 1);
    TSCGCellParam* To = AddParam(*Grid, 2, 1);
    TEventLog Log;
    Log.Watch(*Grid);
    Log.Watch(*From, "from");
    Log.Watch(*To, "to");
    Log.Entries.clear();
    Grid->SetCol(2);
    EXPECT_EQ(Log.Entries, (std::vector<std::string>{"from.exitcell 1 1 2 1", "from.exitcol 1 2",
                                                     "to.entercell 1 1 2 1", "to.entercol 1 2",
                                                     "grid.cell 1 1 2 1", "grid.col 1 2"}));
    EXPECT_EQ(Grid->Col(), 2);
}

TEST(StrColGridSelection, OneRangeItemGetsBothItsExitAndEnterEvents) {
    auto Grid = MakeLoadedGrid();
    TSCGCellParam* Range = AddRange(*Grid, 1, 1, 4, 4);
    TEventLog Log;
    Log.Watch(*Range, "range");
    Log.Entries.clear();
    Grid->SetRow(3);
    EXPECT_EQ(Log.Entries,
              (std::vector<std::string>{"range.exitcell 1 1 1 3", "range.exitrow 1 3",
                                        "range.entercell 1 1 1 3", "range.enterrow 1 3"}));
}

TEST(StrColGridSelection, RaisingHandlerRefusesTheMoveSilently) {
    auto Grid = MakeLoadedGrid();
    int Reported = 0;
    SetExceptionHandler([&](const std::exception&) { ++Reported; });
    std::vector<std::string> Seen;
    Grid->OnCellChanged = [&](TObject*, int OC, int OR, int NC, int NR) {
        Seen.push_back(std::to_string(OC) + std::to_string(OR) + std::to_string(NC) +
                       std::to_string(NR));
        if (NC == 3)
            throw Exception("no");
    };
    bool LaterRan = false;
    Grid->OnColChanged = [&](TObject*, int, int) { LaterRan = true; };
    EXPECT_NO_THROW(Grid->SetCol(3));
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_FALSE(LaterRan);
    Grid->SetCol(2);
    EXPECT_EQ(Seen, (std::vector<std::string>{"1131", "1121"})); // the last cell stayed (1, 1)
    EXPECT_EQ(Reported, 0);
    SetExceptionHandler(nullptr);
}

TEST(StrColGridSelection, CellRefusedBySelectCellStillBecomesTheLastCell) {
    auto Grid = MakeLoadedGrid();
    std::vector<std::string> Seen;
    Grid->OnSelectCell = [](TObject*, int ACol, int, bool& CanSelect) { CanSelect = ACol != 3; };
    Grid->OnCellChanged = [&](TObject*, int OC, int OR, int NC, int NR) {
        Seen.push_back(std::to_string(OC) + std::to_string(OR) + std::to_string(NC) +
                       std::to_string(NR));
    };
    Grid->SetCol(3);
    EXPECT_EQ(Grid->Col(), 1);
    Grid->SetCol(2);
    EXPECT_EQ(Seen, (std::vector<std::string>{"1131", "3121"}));
}

TEST(StrColGridSelection, CellOptionsGoInForceWhilePublishedOptionsStay) {
    auto Grid = MakeLoadedGrid();
    const TGridOptions Own = GridDefaults + TGridOptions{goEditing};
    Grid->SetOptions(Own);
    TSCGCellParam* ReadOnly = AddParam(*Grid, 2, 1);
    ReadOnly->SetOptions(GridDefaults + TGridOptions{goRowSelect});
    ReadOnly->SetOptionsEnabled(true);
    AddParam(*Grid, 3, 1); // a parameter without OptionsEnabled
    Grid->SetCol(2);
    EXPECT_EQ(Grid->TCustomGrid::Options(), ReadOnly->Options());
    EXPECT_EQ(Grid->Options(), Own);
    Grid->SetCol(3);
    EXPECT_EQ(Grid->TCustomGrid::Options(), Own);
}

TEST(StrColGridSelection, CellWhoseOptionsLackEditingCannotBeEdited) {
    auto Grid = MakeLoadedGrid();
    Grid->SetOptions(GridDefaults + TGridOptions{goEditing});
    TSCGCellParam* Locked = AddParam(*Grid, 2, 1);
    Locked->SetOptions(GridDefaults);
    Locked->SetOptionsEnabled(true);
    Grid->SetCol(2);
    Grid->SetEditorMode(true);
    EXPECT_FALSE(Grid->EditorMode());
    Grid->SetCol(1);
    Grid->SetEditorMode(true);
    EXPECT_TRUE(Grid->EditorMode());
}

TEST(StrColGridSelection, EditorTakesTheNamedFontOfTheCellAndTheGridFontElsewhere) {
    auto Grid = MakeLoadedGrid();
    Grid->SetOptions(GridDefaults + TGridOptions{goEditing});
    Grid->Font()->SetName("IPAGothic");
    TSCGCellFont* Named = Grid->Fonts()->Add();
    Named->Font()->SetName("IPAMincho");
    Named->Font()->SetHeight(-20);
    AddParam(*Grid, 2, 1)->SetFontName("フォント1"_sj);
    Grid->SetEditorMode(true);
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    EXPECT_EQ(Grid->InplaceEditor()->Font()->Name(), "IPAGothic");
    Grid->SetEditorMode(false);
    Grid->SetCol(2);
    EXPECT_EQ(Grid->InplaceEditor()->Font()->Name(), "IPAMincho");
    EXPECT_EQ(Grid->InplaceEditor()->Font()->Height(), -20);
    Grid->SetCol(3);
    EXPECT_EQ(Grid->InplaceEditor()->Font()->Name(), "IPAGothic");
}

TEST(StrColGridSelection, UnregisteredFontNameReachesTheCaller) {
    auto Grid = MakeLoadedGrid();
    Grid->SetOptions(GridDefaults + TGridOptions{goEditing});
    TSCGCellParam* Broken = AddParam(*Grid, 2, 1);
    Grid->BeginLoading();
    Broken->SetFontName("未登録"_sj);
    Grid->EndLoading();
    Grid->SetEditorMode(true);
    Grid->SetEditorMode(false);
    const AnsiString Missing = "CellParams で指定されたフォント名が Fonts に登録されていません"_sj;
    EXPECT_EQ(MessageOf<Exception>([&] { Grid->SetCol(2); }), Missing);

    auto Fresh = MakeLoadedGrid();
    TSCGCellParam* Also = AddParam(*Fresh, 1, 1);
    Fresh->BeginLoading();
    Also->SetFontName("未登録"_sj);
    Fresh->EndLoading();
    EXPECT_EQ(MessageOf<Exception>([&] { delete Fresh->CreateEditor(); }), Missing);
}

TEST(StrColGridSelection, CreatedEditorTakesTheCellImeModeEvenWhenNotEnabled) {
    auto Grid = MakeLoadedGrid();
    Grid->SetImeMode(imHira);
    TSCGCellParam* P = AddParam(*Grid, 2, 1);
    P->SetImeMode(imAlpha);
    std::unique_ptr<TInplaceEdit> Plain(Grid->CreateEditor());
    EXPECT_EQ(Plain->ImeMode(), imHira);
    Grid->SetCol(2);
    std::unique_ptr<TInplaceEdit> Cell(Grid->CreateEditor());
    EXPECT_EQ(Cell->ImeMode(), imAlpha);
}

TEST(StrColGridSelection, EditorInputMethodFollowsTheCellOnlyWhenEnabled) {
    auto Grid = MakeLoadedGrid();
    Grid->SetOptions(GridDefaults + TGridOptions{goEditing});
    Grid->SetImeMode(imHira);
    TSCGCellParam* Latin = AddParam(*Grid, 2, 1);
    Latin->SetImeMode(imAlpha);
    Latin->SetImeModeEnabled(true);
    AddParam(*Grid, 3, 1)->SetImeMode(imAlpha); // not enabled: the grid's mode applies
    Grid->SetEditorMode(true);
    Grid->SetEditorMode(false);
    const auto InputMethodOn = [&] { return TestSupport::InputMethodOn(Grid->InplaceEditor()); };
    Grid->SetCol(2);
    EXPECT_FALSE(InputMethodOn());
    Grid->SetCol(3);
    EXPECT_TRUE(InputMethodOn());
    Grid->SetImeMode(imDisable);
    EXPECT_FALSE(InputMethodOn());
}

TEST(StrColGridSelection, EnteringTheGridPutsTheCurrentCellInForce) {
    auto Grid = MakeLoadedGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1); // added after the cell became current
    P->SetOptions(GridDefaults + TGridOptions{goRowSelect});
    P->SetOptionsEnabled(true);
    int Entered = 0;
    Grid->OnEnter = [&](TObject*) { ++Entered; };
    bool Changed = false;
    Grid->OnCellChanged = [&](TObject*, int, int, int, int) { Changed = true; };
    EXPECT_EQ(Grid->TCustomGrid::Options(), GridDefaults);
    // The focus comes from another control, as when the user tabs or clicks into the grid.
    auto* Other = new TStrColGrid(Grid.Window.get());
    Other->SetParent(Grid.Window.get());
    Other->SetBounds(0, 200, 40, 20);
    Other->SetFocus();
    TestSupport::ProcessEvents();
    Grid->SetFocus();
    TestSupport::ProcessEvents();
    ASSERT_TRUE(Grid->Focused());
    EXPECT_EQ(Entered, 1);
    EXPECT_EQ(Grid->TCustomGrid::Options(), P->Options());
    EXPECT_FALSE(Changed);
}

TEST(StrColGridSelection, DesignModeNeitherSwitchesOptionsNorFiresEvents) {
    auto Grid = MakeLoadedGrid();
    TSCGCellParam* P = AddParam(*Grid, 2, 1);
    P->SetOptions(GridDefaults + TGridOptions{goRowSelect});
    P->SetOptionsEnabled(true);
    bool Fired = false;
    Grid->OnCellChanged = [&](TObject*, int, int, int, int) { Fired = true; };
    Grid->SetDesigningForTest();
    EXPECT_TRUE(Grid->SelectCell(2, 1));
    EXPECT_FALSE(Fired);
    EXPECT_EQ(Grid->TCustomGrid::Options(), GridDefaults);
}

TEST(StrColGridSelection, LoadedPutsTheCurrentCellInForceWithoutEvents) {
    auto Grid = MakeGrid();
    Grid->SetCol(2);
    Grid->SetRow(1);
    TSCGCellParam* P = AddParam(*Grid, 2, 1);
    P->SetOptions(GridDefaults + TGridOptions{goRowSelect});
    P->SetOptionsEnabled(true);
    bool Fired = false;
    Grid->OnCellChanged = [&](TObject*, int, int, int, int) { Fired = true; };
    Grid->BeginLoading();
    Grid->EndLoading();
    Grid->Loaded();
    EXPECT_FALSE(Fired);
    EXPECT_EQ(Grid->TCustomGrid::Options(), P->Options());
    std::vector<int> Old;
    Grid->OnCellChanged = [&](TObject*, int OC, int OR, int, int) { Old = {OC, OR}; };
    Grid->SetCol(3);
    EXPECT_EQ(Old, (std::vector<int>{2, 1}));
}

// ---- Form files

namespace {

// A root that nests every component it owns, as a form does.
class TTestRoot : public TComponent {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TTestRoot"; }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
        for (int I = 0; I < ComponentCount(); ++I)
            Proc(Components(I));
    }
};

const bool RootRegistered = [] {
    TPublish<TTestRoot>("TTestRoot", "TComponent");
    return true;
}();

TStrColGrid* GridOf(TTestRoot& Root) {
    return ComponentByName<TStrColGrid>(&Root, "StrColGrid1");
}

} // namespace

TEST(StrColGridForm, RoundTripKeepsBothCollectionsAndTheGridSettings) {
    TTestRoot Source(nullptr);
    Source.SetName("Root");
    auto* Grid = new TStrColGrid(&Source);
    Grid->SetName("StrColGrid1");
    Grid->SetColCount(19);
    Grid->SetFixedColor(12615808);
    Grid->SetOptions(GridDefaults + TGridOptions{goEditing});
    Grid->SetFocusCellFontColorEnabled(true);
    Grid->SetCellDivide(false);
    Grid->SetFixedAlignment(taCenter);
    TSCGCellFont* Font = Grid->Fonts()->Add();
    Font->SetName("見出し"_sj);
    Font->Font()->SetName("ＭＳ Ｐゴシック"_sj);
    Font->Font()->SetHeight(-13);
    TSCGCellParam* Caption = Grid->GetCellParam(1, 0, true);
    Caption->SetCaption("名　  称"_sj);
    Caption->SetAlignment(taCenter);
    Caption->SetFontColor(clWhite);
    Caption->SetCellColorEnabled(false);
    Caption->SetFontName("見出し"_sj);
    TSCGCellParam* Range = AddRange(*Grid, 2, 1, 18, 49);
    Range->SetCaptionType(ctFooter);
    Range->SetBrushEnabled(true);
    Range->Brush()->SetColor(clAqua);
    Range->Brush()->SetStyle(bsCross);
    Range->SetTag(5);

    const std::string Text = WriteComponentText(&Source);
    EXPECT_NE(Text.find("DefaultDrawing = False"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Layout = tlTop"), std::string::npos) << Text;

    TTestRoot Target(nullptr);
    ReadComponentText(&Target, Text);
    TStrColGrid* Copy = GridOf(Target);
    EXPECT_EQ(WriteComponentText(&Target), Text);
    EXPECT_FALSE(Copy->DefaultDrawing());
    EXPECT_FALSE(Copy->CellDivide());
    EXPECT_EQ(Copy->FixedAlignment(), taCenter);
    EXPECT_EQ(Copy->Options(), Grid->Options());
    ASSERT_EQ(Copy->Fonts()->Count(), 1);
    EXPECT_EQ(Copy->Fonts()->Items(0)->Font()->Name(), "ＭＳ Ｐゴシック"_sj);
    ASSERT_EQ(Copy->CellParams()->Count(), 2);
    TSCGCellParam* ReadCaption = Copy->GetCellParam(1, 0, false);
    ASSERT_NE(ReadCaption, nullptr);
    EXPECT_EQ(ReadCaption->Caption(), "名　  称"_sj);
    EXPECT_EQ(ReadCaption->FontName(), "見出し"_sj);
    EXPECT_EQ(ReadCaption->Name(), "パラメータ1"_sj);
    EXPECT_EQ(ReadCaption->CellColor(), 12615808);
    TSCGCellParam* ReadRange = Copy->GetCellParam(18, 49, false);
    ASSERT_NE(ReadRange, nullptr);
    EXPECT_EQ(ReadRange->Brush()->Style(), bsCross);
    EXPECT_EQ(ReadRange->Brush()->Color(), clAqua);
    EXPECT_EQ(ReadRange->CaptionType(), ctFooter);
    EXPECT_EQ(ReadRange->Tag(), 5);
}

TEST(StrColGridForm, LoadingAcceptsWhatTheSettersWouldRefuse) {
    const std::string Text = R"(object Root: TTestRoot
  object StrColGrid1: TStrColGrid
    Fonts = <
      item
        Name = 'A'
      end
      item
        Name = 'A'
      end>
    CellParams = <
      item
        Col = 4
        ColMax = 2
        RangeEnabled = True
        FontName = 'Ghost'
      end>
  end
end
)";
    TTestRoot Root(nullptr);
    ASSERT_NO_THROW(ReadComponentText(&Root, Text));
    TStrColGrid* Grid = GridOf(Root);
    EXPECT_EQ(Grid->Fonts()->Items(1)->Name(), "A");
    TSCGCellParam* P = Grid->CellParams()->Items(0);
    EXPECT_TRUE(P->RangeEnabled());
    EXPECT_EQ(P->FontName(), "Ghost");
    EXPECT_EQ(Grid->GetCellParam(3, 0, false), nullptr);
}

TEST(StrColGridForm, ParameterEventsBindToMethodsOfTheRoot) {
    const std::string Text = R"(object Root: TTestRoot
  object StrColGrid1: TStrColGrid
    OnCellChanged = GridCellChanged
    CellParams = <
      item
        Col = 2
        Row = 1
        OnEnterCell = CellEntered
      end>
  end
end
)";
    TTestRoot Root(nullptr);
    std::vector<std::string> Calls;
    Root.PublishMethod("GridCellChanged", TSCGCellChangedEvent([&](TObject*, int, int, int, int) {
                           Calls.push_back("grid");
                       }));
    Root.PublishMethod("CellEntered",
                       TSCGParamsCellChangedEvent([&](TObject*, TStrColGrid*, int, int, int, int) {
                           Calls.push_back("cell");
                       }));
    ReadComponentText(&Root, Text);
    TStrColGrid* Grid = GridOf(Root);
    Grid->SetCol(1);
    Grid->SetRow(1);
    Calls.clear();
    Grid->SetCol(2);
    EXPECT_EQ(Calls, (std::vector<std::string>{"cell", "grid"}));
    const std::string Written = WriteComponentText(&Root);
    EXPECT_NE(Written.find("OnEnterCell = CellEntered"), std::string::npos) << Written;
}
