// Checks a wizard form against its layout table, one row per component, and checks pixels of
// the form as rendered that show its controls drawn. When a check of a rendered form fails, the
// image is written as PNG into the build folder and its path printed, for a person to look at.
#pragma once

#include "Forms.h"
#include "Grids.h"
#include "Menus.h"
#include "StrCGrid.h"
#include "SysUtils.h"
#include "TempDir.h"
#include "WinApi.h"
#include "WizardDriver.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace FormLayout {

constexpr TColor BarColor = 7099731;       // red 83, green 85, blue 108
constexpr TColor CaptionRow = 12615808;    // red 128, green 128, blue 192
constexpr TColor TitleStripEnd = 10652814; // red 142, green 140, blue 162
constexpr int MarkerWidth = 10;
constexpr TCursor LinkHand = 32761; // the link label's own cursor
// The layer's colour of the controls that show none of it: the platform's style draws buttons,
// group boxes and bevels, and the gradient box covers its whole face.
constexpr TColor UnshownColor = clWindow;

struct TFontDesc {
    AnsiString Name;
    int Height; // character height in pixels
    TFontStyles Style;
    TColor Color;
};

struct TRow {
    const char* Name;
    const char* Class;
    const char* Parent;
    int Left, Top, Width, Height;
    TAlign Align;
    TFontDesc Font;
    TColor Color;
    AnsiString Caption;
    TCursor Cursor;
    bool Visible;
};

// A component without a place on the screen.
struct TComponentRow {
    const char* Name;
    const char* Class;
};

inline void ExpectRow(const TComponent* Form, const TRow& Row) {
    SCOPED_TRACE(Row.Name);
    const auto* C = dynamic_cast<const TControl*>(Form->FindComponent(Row.Name));
    ASSERT_NE(C, nullptr);
    EXPECT_STREQ(C->ClassName(), Row.Class);
    EXPECT_EQ(C->Parent() ? C->Parent()->Name() : AnsiString(), Row.Parent);
    EXPECT_EQ((std::vector{C->Left(), C->Top(), C->Width(), C->Height()}),
              (std::vector{Row.Left, Row.Top, Row.Width, Row.Height}));
    EXPECT_EQ(C->Align(), Row.Align);
    const TFont* F = C->Font();
    EXPECT_EQ(AnsiToUtf8(F->Name()), AnsiToUtf8(Row.Font.Name));
    EXPECT_EQ(F->Height(), -Row.Font.Height);
    EXPECT_EQ(F->Style().Bits(), Row.Font.Style.Bits());
    EXPECT_EQ(F->Charset(), SHIFTJIS_CHARSET);
    EXPECT_EQ(F->Color(), Row.Font.Color);
    EXPECT_EQ(C->Color(), Row.Color);
    EXPECT_EQ(AnsiToUtf8(C->Caption()), AnsiToUtf8(Row.Caption));
    EXPECT_EQ(C->Cursor(), Row.Cursor);
    EXPECT_EQ(C->Visible(), Row.Visible);
}

// Every row holds, and the form owns the components of the tables and nothing else.
inline void ExpectTable(const TComponent* Form, const std::vector<TRow>& Rows,
                        const std::vector<TComponentRow>& Others) {
    std::set<AnsiString> Listed;
    for (const TRow& Row : Rows) {
        ExpectRow(Form, Row);
        Listed.insert(Row.Name);
    }
    for (const TComponentRow& Other : Others) {
        const TComponent* C = Form->FindComponent(Other.Name);
        ASSERT_NE(C, nullptr) << Other.Name;
        EXPECT_STREQ(C->ClassName(), Other.Class) << Other.Name;
        Listed.insert(Other.Name);
    }
    for (int I = 0; I < Form->ComponentCount(); ++I)
        EXPECT_TRUE(Listed.count(Form->Components(I)->Name()))
            << "not in the tables: " << Form->Components(I)->Name();
}

// The form's client area as painted. Coordinates of the checks are a control's own client
// coordinates; the image is written out when a check failed while the render was in scope.
class TRender {
public:
    TRender(TCustomForm* AForm, const char* AName)
        : Form(AForm), Name(AName), Shot(AForm->Snapshot()), FailedBefore(FailedParts()) {}
    ~TRender() {
        if (FailedParts() == FailedBefore)
            return;
        std::error_code Failed;
        std::filesystem::create_directories(QUOVANT_LAYOUT_IMAGES, Failed);
        const std::string Path = QUOVANT_LAYOUT_IMAGES "/" + Name + ".png";
        const bool Saved = WriteFile(Path, Shot->SaveToBytes());
        std::fprintf(stderr, "%s the form as rendered: %s\n", Saved ? "wrote" : "could not write",
                     Path.c_str());
    }
    TRender(const TRender&) = delete;
    TRender& operator=(const TRender&) = delete;

    TPoint Origin(const TControl* C) const {
        const TPoint P = C->ClientToScreen({0, 0}), F = Form->ClientToScreen({0, 0});
        return {P.X - F.X, P.Y - F.Y};
    }
    TColor At(const TControl* C, int X, int Y) const {
        const TPoint O = Origin(C);
        return Shot->Canvas()->Pixel(O.X + X, O.Y + Y);
    }
    // The pixels of R (in C's coordinates) that the parent's client area leaves visible,
    // counted by colour.
    int Count(const TControl* C, TRect R, TColor Color) const {
        if (const TControl* P = C->Parent()) {
            R.Right = std::min(R.Right, P->ClientWidth() - C->Left());
            R.Bottom = std::min(R.Bottom, P->ClientHeight() - C->Top());
        }
        int N = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                N += At(C, X, Y) == Color;
        return N;
    }

private:
    static int FailedParts() {
        const testing::TestResult* R =
            testing::UnitTest::GetInstance()->current_test_info()->result();
        int N = 0;
        for (int I = 0; I < R->total_part_count(); ++I)
            N += R->GetTestPartResult(I).failed();
        return N;
    }
    TCustomForm* Form;
    std::string Name;
    std::unique_ptr<TBitmap> Shot;
    int FailedBefore;
};

template <class T> T* Get(const TComponent* Form, const char* Name) {
    return ComponentByName<T>(Form, Name);
}

// A wizard form started on a sample file, its open dialog answered as a user would.
template <class TWizard> class TFormOnSample : public testing::Test {
protected:
    explicit TFormOnSample(const char* Sample) {
        SetProgramDirForTesting(Dir.Path());
        WizardDriver::AnswerOpenDialog(Sample);
        Form = new TWizard(nullptr);
        Form->Show();
    }
    ~TFormOnSample() override {
        delete Form;
        SetProgramDirForTesting("");
    }
    // Start, then the target button of each field in turn: the last one shows the grid.
    void MapAll(const std::vector<const char*>& Targets) {
        WizardDriver::Click(Get<TControl>(Form, "Button21"));
        for (const char* Name : Targets)
            WizardDriver::Click(Get<TControl>(Form, Name));
    }

    TTempDir Dir;
    TWizard* Form = nullptr;
};

// Entry of the gradient panel's colour table, channel by channel.
inline TColor GradientEntry(TColor From, TColor To, int Entry) {
    const auto Channel = [Entry](int A, int B) {
        return static_cast<int>(A + Entry * (B - A) / 100.0);
    };
    return static_cast<TColor>(RGB(Channel(GetRValue(From), GetRValue(To)),
                                   Channel(GetGValue(From), GetGValue(To)),
                                   Channel(GetBValue(From), GetBValue(To))));
}

// The banner: inside its raised bevel the bands of a gradient from its start colour at the
// edges towards white in the middle, stacked from top to bottom (the caption-free upper half is
// checked band by band); its white caption, turned, stands in the lower half and ends at the
// bottom.
inline void ExpectBanner(const TRender& R, const TControl* Banner) {
    SCOPED_TRACE("banner");
    const int W = Banner->Width(), H = Banner->Height();
    for (int Band = 0; Band < 50; ++Band) {
        const int Top = (2 * Band * H + 100) / 200, Bottom = (2 * (Band + 1) * H + 100) / 200;
        for (int Y = std::max(Top, 1); Y < Bottom; ++Y)
            for (int X = 1; X < W - 1; ++X)
                ASSERT_EQ(R.At(Banner, X, Y), GradientEntry(BarColor, clWhite, 2 * Band + 1))
                    << X << "," << Y;
    }
    EXPECT_GT(R.Count(Banner, Rect(1, H / 2, W - 1, H - 1), clWhite), 300) << "the caption";
    EXPECT_GT(R.Count(Banner, Rect(1, H - 12, W - 1, H - 1), clWhite), 0) << "at the bottom";
    // The caption is turned to run downwards: it stands in a band far taller than wide.
    int Left = W, Right = 0, Top = H, Bottom = 0;
    for (int Y = 1; Y < H - 1; ++Y)
        for (int X = 1; X < W - 1; ++X)
            if (R.At(Banner, X, Y) == clWhite) {
                Left = std::min(Left, X);
                Right = std::max(Right, X + 1);
                Top = std::min(Top, Y);
                Bottom = std::max(Bottom, Y + 1);
            }
    EXPECT_GT(Bottom - Top, 5 * (Right - Left)) << "the caption runs downwards";
}

// The bottom bar's face is its one colour wherever no control stands on it.
inline void ExpectBarFace(const TRender& R, const TControl* Bar, int FreeLeft, int FreeRight) {
    SCOPED_TRACE("bottom bar");
    EXPECT_EQ(R.Count(Bar, Rect(FreeLeft, 0, FreeRight, Bar->Height()), BarColor),
              (FreeRight - FreeLeft) * Bar->Height());
}

// A command caption: white text on the label's own colour.
inline void ExpectCommandCaption(const TRender& R, const TControl* Label) {
    SCOPED_TRACE(Label->Name());
    const TRect All = Rect(0, 0, Label->Width(), Label->Height());
    EXPECT_GT(R.Count(Label, All, Label->Color()), Label->Width() * Label->Height() / 2);
    EXPECT_GT(R.Count(Label, All, clWhite), 10);
}

// An icon of 32 x 32 pixels centred on its button, over the surface behind it.
inline void ExpectIcon(const TRender& R, const TControl* Button, TColor Behind) {
    SCOPED_TRACE(Button->Name());
    const int Left = Button->Width() / 2 - 16, Top = Button->Height() / 2 - 16;
    const TRect Icon = Rect(Left, Top, Left + 32, Top + 32);
    EXPECT_LT(R.Count(Button, Icon, Behind), 32 * 32 * 3 / 4) << "the icon covers its square";
    EXPECT_NE(R.At(Button, Button->Width() / 2, Button->Height() / 2), Behind);
    EXPECT_EQ(R.At(Button, 0, 0), Behind) << "the flat button shows the surface behind it";
}

// The caption row: white captions on the fixed colour in every column on show.
inline void ExpectCaptionRow(const TRender& R, const TCustomGrid* Grid, int Columns) {
    int Shown = 0;
    for (int Col = 1; Col < Grid->ColCount(); ++Col) {
        const TRect Cell = Grid->CellRect(Col, 0);
        if (Cell.Width() == 0 || Cell.Right > Grid->ClientWidth())
            continue;
        SCOPED_TRACE(Col);
        ++Shown;
        EXPECT_GT(R.Count(Grid, Cell, CaptionRow), Cell.Width() * Cell.Height() / 2);
        EXPECT_GT(R.Count(Grid, Cell, clWhite), 5);
    }
    EXPECT_EQ(Shown, Columns);
}

// The marker column: 10 pixels of the fixed colour, a "*" on each marked row.
inline void ExpectMarkerColumn(const TRender& R, const TCustomGrid* Grid, int MarkedRows) {
    for (int Row = 1; Row <= MarkedRows + 1; ++Row) {
        SCOPED_TRACE(Row);
        const TRect Cell = Grid->CellRect(0, Row);
        EXPECT_EQ(Cell.Width(), MarkerWidth);
        const int Y = Cell.Bottom - 2; // below the asterisk
        EXPECT_EQ(R.Count(Grid, Rect(Cell.Left, Y, Cell.Left + MarkerWidth, Y + 1), CaptionRow),
                  MarkerWidth);
        EXPECT_NE(R.At(Grid, Cell.Left + MarkerWidth, Y), CaptionRow) << "the line after it";
        const int Mark = Cell.Width() * Cell.Height() - R.Count(Grid, Cell, CaptionRow);
        if (Row <= MarkedRows)
            EXPECT_GT(Mark, 0) << "marked";
        else
            EXPECT_EQ(Mark, 0) << "unmarked";
    }
}

// The grid's display settings; its column captions are parameters of row 0, centred white text
// drawn once, one per column. Menu names the grid's popup menu ("" for none).
inline void ExpectGridSettings(const TStrColGrid* Grid, const std::vector<int>& Widths,
                               const std::vector<AnsiString>& Captions, TGridOptions Options,
                               const char* Menu) {
    EXPECT_EQ(Grid->ColCount(), static_cast<int>(Widths.size()));
    for (int Col = 0; Col < Grid->ColCount(); ++Col)
        EXPECT_EQ(Grid->ColWidths(Col), Widths.at(Col)) << Col;
    EXPECT_EQ(Grid->FixedCols(), 1);
    EXPECT_EQ(Grid->FixedRows(), 1);
    EXPECT_EQ(Grid->DefaultColWidth(), 11);
    EXPECT_EQ(Grid->DefaultRowHeight(), 18);
    EXPECT_FALSE(Grid->DefaultDrawing());
    EXPECT_EQ(Grid->FixedColor(), CaptionRow);
    EXPECT_FALSE(Grid->Ctl3D());
    EXPECT_TRUE(Grid->FocusCellFontColorEnabled());
    EXPECT_EQ(Grid->Layout(), tlTop);
    EXPECT_EQ(Grid->Options().Bits(), Options.Bits());
    EXPECT_EQ(Grid->PopupMenu() ? Grid->PopupMenu()->Name() : AnsiString(), Menu);
    std::vector<AnsiString> Seen(Captions.size());
    for (int I = 0; I < Grid->CellParams()->Count(); ++I) {
        const TSCGCellParam* P = Grid->CellParams()->Items(I);
        if (P->Row() != 0)
            continue;
        SCOPED_TRACE(P->Col());
        ASSERT_GE(P->Col(), 1);
        ASSERT_LE(P->Col(), static_cast<int>(Captions.size()));
        Seen[P->Col() - 1] = P->Caption();
        EXPECT_EQ(P->Alignment(), taCenter);
        EXPECT_EQ(P->FontColor(), clWhite);
        EXPECT_TRUE(P->FontColorEnabled());
        EXPECT_EQ(P->FontWidth(), 1);
    }
    for (std::size_t I = 0; I < Captions.size(); ++I)
        EXPECT_EQ(AnsiToUtf8(Seen[I]), AnsiToUtf8(Captions[I])) << I + 1;
}

// What both forms show around their panels: the banner, the bottom bar with its icons and
// command captions, and the icon of the title band.
inline void ExpectFrameDrawn(const TRender& R, const TComponent* Form) {
    ExpectBanner(R, Get<TControl>(Form, "LT1"));
    ExpectBarFace(R, Get<TControl>(Form, "GradPan2"), 49, 621);
    for (const char* Name : {"BoxLabel1", "BoxLabel20", "BoxLabel21"})
        ExpectCommandCaption(R, Get<TControl>(Form, Name));
    for (const char* Name : {"IconButton7", "IconButton4", "IconButton3", "IconButton1"})
        ExpectIcon(R, Get<TControl>(Form, Name), BarColor);
    ExpectIcon(R, Get<TControl>(Form, "IconButton2"), clWhite);
}

// The window: a dialog of 1010 x 666 client pixels centred on the screen, with the form's
// caption as its title and the form's font. Where the screen is narrower than the window (Qt's
// offscreen screen, 800 x 800), the centred window reaches past its left and right edges and
// keeps its size.
inline void ExpectWindow(TCustomForm* Form, const AnsiString& Caption) {
    EXPECT_EQ(Form->BorderStyle(), bsDialog);
    EXPECT_EQ(Form->ClientWidth(), 1010);
    EXPECT_EQ(Form->ClientHeight(), 666);
    const TRect Window = TestSupport::WindowBounds(Form);
    EXPECT_EQ((std::pair{Window.Width(), Window.Height()}), (std::pair{1010, 666}));
    EXPECT_FALSE(TestSupport::Resizable(Form)) << "the window cannot be resized";
    EXPECT_EQ(Form->Left(), (Screen->Width() - Form->Width()) / 2);
    EXPECT_EQ(Form->Top(), (Screen->Height() - Form->Height()) / 2);
    EXPECT_EQ((std::vector{Window.Left, Window.Top, Window.Right, Window.Bottom}),
              (std::vector{Form->Left(), Form->Top(), Form->Left() + 1010, Form->Top() + 666}));
    EXPECT_EQ(AnsiToUtf8(TestSupport::WindowText(Form)), AnsiToUtf8(Caption));
    EXPECT_EQ(AnsiToUtf8(Form->Font()->Name()), AnsiToUtf8("ＭＳ Ｐゴシック"_sj));
    EXPECT_EQ(Form->Font()->Height(), -12);
    EXPECT_EQ(Form->Font()->Charset(), SHIFTJIS_CHARSET);
    EXPECT_EQ(Form->Color(), clBtnFace);
}

} // namespace FormLayout
