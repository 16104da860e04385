// The cell parameters against a plain reference collection: random alignments of single cells
// and of whole rectangles (the way the wizards fill a grid), added items, lookups, reads by
// position, edits, moves, deletions and row commands must leave both with the same items.
#include "StrCGrid.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct TRef {
    int Col = 0, Row = 0, ColMax = 0, RowMax = 0;
    bool Range = false;
    TAlignment Alignment = taLeftJustify;
    TColor CellColor = clWindow, FontColor = clWindowText;
    bool CellColorEnabled = false, FontColorEnabled = false;
    TGridOptions Options;
    AnsiString Name;

    bool Covers(int C, int R) const {
        return Range ? Col <= C && C <= ColMax && Row <= R && R <= RowMax : Col == C && Row == R;
    }
};

class TModel {
public:
    explicit TModel(unsigned Seed) : FRandom(Seed), FGrid(nullptr) {
        FGrid.SetColCount(8);
        FGrid.SetRowCount(12);
    }

    void Step() {
        switch (Pick(12)) {
        case 0:
        case 1:
            Align(Pick(FGrid.ColCount() + 1), Pick(FGrid.RowCount() + 1), RandomAlignment());
            break;
        case 2:
        case 3:
            FillRectangle();
            break;
        case 4:
            Append();
            break;
        case 5:
        case 6:
            CheckLookup(Pick(FGrid.ColCount() + 1), Pick(FGrid.RowCount() + 1));
            break;
        case 7:
            if (!FRef.empty())
                CheckItem(Pick(int(FRef.size())));
            break;
        case 8:
            Edit();
            break;
        case 9:
            if (!FRef.empty()) {
                const int I = Pick(int(FRef.size()));
                Params()->Delete(I);
                FRef.erase(FRef.begin() + I);
            }
            break;
        case 10:
            RowCommand();
            break;
        case 11:
            ChangeGridLook();
            break;
        }
        ASSERT_EQ(Params()->Count(), int(FRef.size()));
    }

    void CheckAll() {
        ASSERT_EQ(Params()->Count(), int(FRef.size()));
        for (int I = 0; I < int(FRef.size()); ++I)
            CheckItem(I);
    }

private:
    TSCGCellParams* Params() { return FGrid.CellParams(); }
    int Pick(int N) { return int(FRandom() % unsigned(N)); }
    TAlignment RandomAlignment() { return TAlignment(Pick(3)); }

    int RefFind(int C, int R) const {
        for (int I = int(FRef.size()) - 1; I >= 0; --I)
            if (FRef[std::size_t(I)].Covers(C, R))
                return I;
        return -1;
    }

    void Align(int C, int R, TAlignment A) {
        FGrid.SetCellAlignment(C, R, A);
        AlignReference(C, R, A);
    }

    void AlignReference(int C, int R, TAlignment A) {
        const int I = RefFind(C, R);
        if (I >= 0) {
            FRef[std::size_t(I)].Alignment = A;
            return;
        }
        const bool Fixed = C < FGrid.FixedCols() || R < FGrid.FixedRows();
        FRef.push_back({C, R, 0, 0, false, A, Fixed ? FGrid.FixedColor() : FGrid.Color(),
                        FGrid.Font()->Color(), true, true, FGrid.Options(), NumberedName()});
    }

    // Row by row, with now and then one more column aligned after each row; or the whole
    // rectangle in one call, which must do the same.
    void FillRectangle() {
        const int C0 = Pick(FGrid.ColCount()), C1 = C0 + Pick(FGrid.ColCount() + 1 - C0);
        const int R0 = Pick(FGrid.RowCount()), R1 = R0 + Pick(FGrid.RowCount() + 1 - R0);
        const int Extra = Pick(3) == 0 ? Pick(FGrid.ColCount() + 1) : -1;
        const TAlignment A = RandomAlignment(), B = RandomAlignment();
        if (Extra < 0 && Pick(2)) {
            FGrid.SetCellAlignment(C0, R0, C1, R1, A);
            for (int R = R0; R <= R1; ++R)
                for (int C = C0; C <= C1; ++C)
                    AlignReference(C, R, A);
            return;
        }
        for (int R = R0; R <= R1; ++R) {
            for (int C = C0; C <= C1; ++C)
                Align(C, R, A);
            if (Extra >= 0)
                Align(Extra, R, B);
        }
    }

    void Append() {
        Params()->Add();
        TRef Item;
        Item.Options = FGrid.Options();
        Item.Name = NumberedName();
        FRef.push_back(Item);
    }

    AnsiString NumberedName() const { return "パラメータ"_sj + IntToStr(int(FRef.size()) + 1); }

    void CheckLookup(int C, int R) {
        const TSCGCellParam* Found = Params()->Find(C, R);
        const int Expected = RefFind(C, R);
        ASSERT_EQ(Found ? Found->Index() : -1, Expected) << "cell " << C << "," << R;
        if (Found)
            CheckItem(Expected);
    }

    void CheckItem(int I) {
        const TSCGCellParam* P = Params()->Items(I);
        const TRef& R = FRef[std::size_t(I)];
        ASSERT_EQ(P->Index(), I);
        EXPECT_EQ(P->Col(), R.Col) << I;
        EXPECT_EQ(P->Row(), R.Row) << I;
        EXPECT_EQ(P->ColMax(), R.ColMax) << I;
        EXPECT_EQ(P->RowMax(), R.RowMax) << I;
        EXPECT_EQ(P->RangeEnabled(), R.Range) << I;
        EXPECT_EQ(P->Alignment(), R.Alignment) << I;
        EXPECT_EQ(P->CellColor(), R.CellColor) << I;
        EXPECT_EQ(P->FontColor(), R.FontColor) << I;
        EXPECT_EQ(P->CellColorEnabled(), R.CellColorEnabled) << I;
        EXPECT_EQ(P->FontColorEnabled(), R.FontColorEnabled) << I;
        EXPECT_TRUE(P->Options() == R.Options) << I;
        EXPECT_EQ(P->Name(), R.Name) << I;
    }

    void Edit() {
        if (FRef.empty())
            return;
        const int I = Pick(int(FRef.size()));
        TSCGCellParam* P = Params()->Items(I);
        TRef& R = FRef[std::size_t(I)];
        switch (Pick(4)) {
        case 0:
            P->SetCellColor(clRed);
            R.CellColor = clRed;
            break;
        case 1:
            if (!R.Range) {
                R.Col = Pick(FGrid.ColCount() + 1);
                R.Row = Pick(FGrid.RowCount() + 1);
                P->SetCol(R.Col);
                P->SetRow(R.Row);
            }
            break;
        case 2:
            R.ColMax = R.Col + Pick(3);
            R.RowMax = R.Row + Pick(3);
            P->SetColMax(R.ColMax);
            P->SetRowMax(R.RowMax);
            P->SetRangeEnabled(true);
            R.Range = true;
            break;
        case 3: {
            const int To = Pick(int(FRef.size()));
            P->SetIndex(To);
            const TRef Moved = R;
            FRef.erase(FRef.begin() + I);
            FRef.insert(FRef.begin() + To, Moved);
            break;
        }
        }
    }

    // The row commands move texts only; the parameters stay where they are.
    void RowCommand() {
        const int Rows = FGrid.RowCount();
        switch (Pick(3)) {
        case 0:
            FGrid.SetRowCount(Rows + 1);
            break;
        case 1:
            if (Rows > 3)
                FGrid.SetRowCount(Rows - 1);
            break;
        case 2:
            FGrid.Rows(1 + Pick(Rows - 1))->Assign(FGrid.Rows(1 + Pick(Rows - 1)));
            break;
        }
    }

    void ChangeGridLook() {
        switch (Pick(3)) {
        case 0:
            FGrid.SetColor(Pick(2) ? clWindow : clYellow);
            break;
        case 1:
            FGrid.Font()->SetColor(Pick(2) ? clWindowText : clBlue);
            break;
        case 2:
            FGrid.SetOptions(
                TGridOptions::FromBits(FGrid.Options().Bits() ^ TGridOptions{goEditing}.Bits()));
            break;
        }
    }

    std::mt19937 FRandom;
    TStrColGrid FGrid;
    std::vector<TRef> FRef;
};

TEST(SCGCellParamsModel, CompactAndWholeItemsBehaveAsAPlainCollection) {
    for (unsigned Seed = 1; Seed <= 60; ++Seed) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TModel Model(Seed);
        for (int Op = 0; Op < 250; ++Op) {
            ASSERT_NO_FATAL_FAILURE(Model.Step()) << "operation " << Op;
        }
        ASSERT_NO_FATAL_FAILURE(Model.CheckAll());
    }
}

// The wizards' pattern: a numeric block and one text column per row, then the numeric block
// alone for many more rows. Lookups see every record, and items read by position carry the
// names they were made with.
TEST(SCGCellParamsModel, InterleavedColumnsKeepTheirNamesAndCells) {
    TStrColGrid Grid(nullptr);
    Grid.SetColCount(19);
    Grid.SetRowCount(1001);
    for (int R = 1; R <= 50; ++R) {
        for (int C = 4; C <= 17; ++C)
            Grid.SetCellAlignment(C, R, taRightJustify);
        Grid.SetCellAlignment(18, R, taLeftJustify);
    }
    for (int R = 51; R <= 1001; ++R)
        for (int C = 4; C <= 17; ++C)
            Grid.SetCellAlignment(C, R, taRightJustify);
    TSCGCellParams* Params = Grid.CellParams();
    ASSERT_EQ(Params->Count(), 50 * 15 + 951 * 14);
    const struct {
        int Col, Row, Index;
        TAlignment Alignment;
    } Cases[] = {{4, 1, 0, taRightJustify},    {18, 1, 14, taLeftJustify},
                 {4, 2, 15, taRightJustify},   {18, 50, 749, taLeftJustify},
                 {4, 51, 750, taRightJustify}, {17, 51, 763, taRightJustify},
                 {4, 52, 764, taRightJustify}, {17, 1001, Params->Count() - 1, taRightJustify}};
    for (const auto& Case : Cases) {
        const TSCGCellParam* P = Params->Find(Case.Col, Case.Row);
        ASSERT_NE(P, nullptr) << Case.Col << "," << Case.Row;
        EXPECT_EQ(P->Index(), Case.Index);
        EXPECT_EQ(P->Alignment(), Case.Alignment);
        EXPECT_EQ(P->Name(), "パラメータ"_sj + IntToStr(Case.Index + 1));
    }
    EXPECT_EQ(Params->Find(3, 20), nullptr);
    EXPECT_EQ(Params->Find(18, 51), nullptr);
}

} // namespace

// Reading records scattered over a large collection makes them whole one by one and, past a
// point, all at once: either way every item keeps its position, cell and name.
TEST(SCGCellParamsModel, ScatteredReadsMakeEveryRecordWholeInPlace) {
    TStrColGrid Grid(nullptr);
    Grid.SetColCount(60);
    Grid.SetRowCount(60);
    for (int R = 1; R <= 60; ++R)
        for (int C = 1; C <= 60; ++C)
            Grid.SetCellAlignment(C, R, taCenter);
    TSCGCellParams* Params = Grid.CellParams();
    for (int I = 0; I < Params->Count(); I += 3)
        ASSERT_EQ(Params->Items(I)->Index(), I);
    Params->Delete(1);
    ASSERT_EQ(Params->Count(), 3599);
    for (int I = 0; I < Params->Count(); ++I) {
        const int Made = I < 1 ? I : I + 1; // the order in which the items were made
        const TSCGCellParam* P = Params->Items(I);
        ASSERT_EQ(P->Col(), 1 + Made % 60) << I;
        ASSERT_EQ(P->Row(), 1 + Made / 60) << I;
        ASSERT_EQ(P->Name(), "パラメータ"_sj + IntToStr(Made + 1)) << I;
        ASSERT_EQ(Params->Find(P->Col(), P->Row()), P) << I;
    }
    EXPECT_EQ(Params->Find(2, 1), nullptr);
}
