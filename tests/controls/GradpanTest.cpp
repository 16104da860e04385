// The gradient panel: faces, caption placement and effects, the frame, hit testing, moving
// by the mouse, repaints and the form file, checked pixel by pixel on snapshots.
#include "Gradpan.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "TestSupport.h"
#include "WinApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

constexpr TColor Face = 0x406080;
constexpr TColor Ink = clYellow;
constexpr TColor Shadow = clBlue;

class TProbePan : public TGradPan {
public:
    using TGradPan::TGradPan;
    int Paints = 0;
    void SetDesigningForTest() { SetDesigning(true); }

protected:
    void Paint() override {
        ++Paints;
        TGradPan::Paint();
    }
};

std::unique_ptr<TProbePan> MakePanel(int W, int H, TDirection Effect = bdFlat) {
    auto P = std::make_unique<TProbePan>(nullptr);
    P->SetBounds(0, 0, W, H);
    P->SetBevelOuter(bvNone);
    P->SetCaption("");
    P->SetBackGroundEffect(Effect);
    return P;
}

TColor Grey(int Value) {
    return static_cast<TColor>(RGB(Value, Value, Value));
}

struct TShot {
    std::unique_ptr<TBitmap> Bitmap;
    TColor operator()(int X, int Y) const { return Bitmap->Canvas()->Pixel(X, Y); }
    int Width() const { return Bitmap->Width(); }
    int Height() const { return Bitmap->Height(); }
    // Every pixel of the image for which Ink holds.
    std::set<std::pair<int, int>> Where(const std::function<bool(TColor)>& Ink) const {
        std::set<std::pair<int, int>> Points;
        for (int Y = 0; Y < Height(); ++Y)
            for (int X = 0; X < Width(); ++X)
                if (Ink((*this)(X, Y)))
                    Points.insert({X, Y});
        return Points;
    }
};

TShot Shot(TControl& C) {
    return {C.Snapshot()};
}

// A panel with a caption in the test's ink on a flat face.
std::unique_ptr<TProbePan> CaptionPanel(int W, int H, const AnsiString& Caption) {
    auto P = MakePanel(W, H);
    P->SetColorStart(Face);
    P->SetColorShadow(Shadow);
    P->SetTextEffect(tenone);
    P->Font()->SetName("IPAGothic");
    P->Font()->SetHeight(-16);
    P->Font()->SetColor(Ink);
    P->SetCaption(Caption);
    return P;
}

} // namespace

// ---- Faces

// A system colour runs as the colour the screen shows for it.
TEST(GradPanFace, EqualColoursGiveAUniformFaceInEveryMode) {
    for (const TColor Colour : {Face, clBtnFace})
        for (int Mode = bdFlat; Mode <= bdVertOut; ++Mode) {
            if (Mode == bdStretchImage || Mode == bdTileImage)
                continue;
            auto P = MakePanel(130, 70, static_cast<TDirection>(Mode));
            P->SetColorStart(Colour);
            P->SetColorEnd(Colour);
            const auto Shown = static_cast<TColor>(ColorToRGB(Colour));
            EXPECT_EQ(Shot(*P).Where([Shown](TColor C) { return C != Shown; }).size(), 0u)
                << "mode " << Mode << " colour " << Colour;
        }
}

// Black to white on 100 × 100: entry k of the table is trunc(k × 2.55), entry 99 is 252.
TEST(GradPanFace, EachModeRunsItsTableAlongItsAxis) {
    struct TCase {
        TDirection Mode;
        bool Stacked;
        std::vector<std::pair<int, int>> PositionAndValue;
    };
    const TCase Cases[] = {
        {bdUp, true, {{0, 0}, {1, 2}, {50, 127}, {99, 252}}},
        {bdDown, true, {{0, 255}, {99, 2}}},
        {bdLeft, false, {{0, 0}, {99, 252}}},
        {bdRight, false, {{0, 255}, {99, 2}}},
        {bdHorzIn, true, {{0, 2}, {1, 7}, {49, 252}, {50, 249}, {98, 5}, {99, 0}}},
        {bdHorzOut, true, {{0, 252}, {49, 2}, {50, 5}, {99, 255}}},
        {bdVertIn, false, {{0, 2}, {49, 252}, {50, 249}, {99, 0}}},
        {bdVertOut, false, {{0, 252}, {49, 2}, {50, 5}, {99, 255}}},
    };
    for (const TCase& Case : Cases) {
        auto P = MakePanel(100, 100, Case.Mode);
        P->SetColorStart(clBlack);
        P->SetColorEnd(clWhite);
        const TShot S = Shot(*P);
        for (const auto& [At, Value] : Case.PositionAndValue)
            for (int Across : {0, 57, 99}) {
                const int X = Case.Stacked ? Across : At, Y = Case.Stacked ? At : Across;
                EXPECT_EQ(S(X, Y), Grey(Value)) << "mode " << Case.Mode << " at " << X << "," << Y;
            }
        const bool FromStart = Case.Mode == bdUp || Case.Mode == bdLeft || Case.Mode == bdHorzIn ||
                               Case.Mode == bdVertIn;
        EXPECT_EQ(S.Where([](TColor C) { return C == clWhite; }).empty(), FromStart)
            << "only the table from the end colour reaches white, mode " << Case.Mode;
    }
}

// Bands k cover MulDiv(k, 30, 100) up to MulDiv(k + 1, 30, 100): column 0 is band 1, the last
// column band 98, and most bands are empty.
TEST(GradPanFace, ANarrowPanelShowsOneRoundedBandPerColumn) {
    auto P = MakePanel(30, 10, bdLeft);
    P->SetColorStart(clBlack);
    P->SetColorEnd(clWhite);
    const TShot S = Shot(*P);
    EXPECT_EQ(S(0, 5), Grey(2));
    EXPECT_EQ(S(1, 5), Grey(10)); // MulDiv(4, 30, 100) = 1
    EXPECT_EQ(S(29, 5), Grey(249));
    std::set<TColor> Columns;
    for (int X = 0; X < 30; ++X)
        Columns.insert(S(X, 5));
    EXPECT_EQ(Columns.size(), 30u);
}

TEST(GradPanFace, DefaultImageIsAnOutlinedSquareWithAWhiteLastRowAndColumn) {
    TGradPan P(nullptr);
    TCanvas* C = P.Bitmap()->Canvas();
    ASSERT_EQ(P.Bitmap()->Width(), 50);
    ASSERT_EQ(P.Bitmap()->Height(), 50);
    for (int I = 0; I < 49; ++I) {
        EXPECT_EQ(C->Pixel(I, 0), clBlack);
        EXPECT_EQ(C->Pixel(0, I), clBlack);
        EXPECT_EQ(C->Pixel(I, 48), clBlack);
        EXPECT_EQ(C->Pixel(48, I), clBlack);
        EXPECT_EQ(C->Pixel(I, 49), clWhite);
        EXPECT_EQ(C->Pixel(49, I), clWhite);
        EXPECT_EQ(C->Pixel(I == 0 ? 1 : I, 24), I == 0 ? clWhite : I == 48 ? clBlack : clWhite);
    }
}

// Tiles start at (a, a) and repeat every 50 pixels; with Ctl3D the inset a is 2V + B and the
// ring outside it keeps the panel's own painting.
TEST(GradPanFace, TilesRepeatTheImageFromTheInset) {
    for (const bool Ctl3D : {false, true}) {
        auto P = MakePanel(120, 60, bdTileImage);
        P->SetColor(Face);
        P->SetBorderWidth(2);
        P->SetCtl3D(Ctl3D);
        const int A = Ctl3D ? 4 : 0;
        const TShot S = Shot(*P);
        const TCanvas* Image = P->Bitmap()->Canvas();
        for (int Y = 0; Y < 60; ++Y)
            for (int X = 0; X < 120; ++X) {
                const TColor Expected =
                    X < A || Y < A ? Face : Image->Pixel((X - A) % 50, (Y - A) % 50);
                ASSERT_EQ(S(X, Y), Expected) << X << "," << Y << " Ctl3D " << Ctl3D;
            }
    }
}

TEST(GradPanFace, StretchedImageLeavesTheLastRowAndColumnToThePanel) {
    auto P = MakePanel(40, 20, bdStretchImage);
    P->SetColor(Face);
    TBitmap Two(2, 1);
    Two.Canvas()->SetPixel(0, 0, clRed);
    Two.Canvas()->SetPixel(1, 0, clBlue);
    P->SetBitmap(&Two);
    const TShot S = Shot(*P);
    EXPECT_EQ(S(0, 0), clRed);
    EXPECT_EQ(S(18, 18), clRed);
    EXPECT_EQ(S(20, 0), clBlue);
    EXPECT_EQ(S(38, 18), clBlue);
    EXPECT_EQ(S(39, 5), Face);
    EXPECT_EQ(S(5, 19), Face);
    EXPECT_EQ(Two.Width(), 2) << "the caller keeps its image";
}

TEST(GradPanFace, AnEmptyImageGivesTheFlatStartColour) {
    for (TDirection Mode : {bdStretchImage, bdTileImage}) {
        auto P = MakePanel(60, 30, Mode);
        P->SetColorStart(Face);
        const TBitmap Empty;
        P->SetBitmap(&Empty);
        EXPECT_EQ(Shot(*P).Where([](TColor C) { return C != Face; }).size(), 0u);
    }
}

// ---- Caption

// Every effect draws its passes, in order, at their offsets from the plain caption, then the
// caption itself on top.
TEST(GradPanCaption, EffectsDrawTheirPassesAtTheirOffsetsUnderTheCaption) {
    auto Plain = CaptionPanel(120, 40, "Gq");
    const auto Glyphs = Shot(*Plain).Where([](TColor C) { return C == Ink; });
    ASSERT_GT(Glyphs.size(), 20u);
    struct TPass {
        int DX, DY;
        TColor Color;
    };
    const std::vector<std::pair<TTextEffect, std::vector<TPass>>> Effects = {
        {tenone, {}},
        {teShadow, {{1, 1, Shadow}}},
        {teRaised, {{-1, 0, Shadow}, {0, -1, Shadow}, {1, 0, clBlack}, {0, 1, clBlack}}},
        {teLowered, {{1, 0, Shadow}, {0, 1, Shadow}, {-1, 0, clBlack}, {0, -1, clBlack}}},
        {teEmbossed, {{-1, 0, Shadow}, {1, 0, Shadow}, {0, -1, Shadow}, {0, 1, Shadow}}},
    };
    for (const auto& [Effect, Passes] : Effects) {
        auto P = CaptionPanel(120, 40, "Gq");
        P->SetTextEffect(Effect);
        const TShot S = Shot(*P);
        for (int Y = 0; Y < 40; ++Y)
            for (int X = 0; X < 120; ++X) {
                TColor Expected = Face;
                for (const TPass& Pass : Passes)
                    if (Glyphs.count({X - Pass.DX, Y - Pass.DY}))
                        Expected = Pass.Color;
                if (Glyphs.count({X, Y}))
                    Expected = Ink;
                ASSERT_EQ(S(X, Y), Expected) << "effect " << Effect << " at " << X << "," << Y;
            }
    }
}

TEST(GradPanCaption, TheShadowPassIsDrawnEvenInThePanelColour) {
    auto P = CaptionPanel(120, 40, "Gq");
    P->SetColor(clRed);
    P->SetColorShadow(clRed);
    P->SetTextEffect(teShadow);
    EXPECT_GT(Shot(*P).Where([](TColor C) { return C == clRed; }).size(), 10u);
}

// Where the ink of the caption "W_" lands for each rotation and placement: the reference
// point of the Part's tables, with t the height of "^_" and B + V = 3.
TEST(GradPanCaption, CaptionsSitAtTheirReferencePoints) {
    struct TCase {
        TTextRotation Rotation;
        TAlignment Alignment;
        TVertAlign VertAlign;
        // The ink's bounding box must lie within this box and touch the edges marked true.
        std::function<TRect(int T)> Box;
        bool TouchLeft, TouchTop, TouchRight, TouchBottom;
    };
    constexpr int W = 60, H = 200, Edge = 3, Slack = 3;
    // The underscore marks the bottom of the cell; a rasteriser may drop its thin stroke.
    if (Shot(*CaptionPanel(W, H, "_")).Where([](TColor C) { return C == Ink; }).empty())
        GTEST_SKIP() << "this system draws the font's underscore at 16 pixels without ink";
    const TCase Cases[] = {
        {trNone, taLeftJustify, vlTop,
         [](int T) { return Rect(Edge + 2, Edge + 2, W, Edge + 2 + T); }, true, false, false,
         false},
        {trNone, taRightJustify, VlBottom,
         [](int T) { return Rect(0, H - Edge - T - 1, W - Edge - 2, H - Edge - 1); }, false, false,
         true, false},
        {TrDown, taLeftJustify, VlBottom,
         [](int T) { return Rect(Edge + 1, 0, T + Edge + 1, H - Edge - 2); }, false, false, false,
         true},
        {TrDown, taRightJustify, vlTop,
         [](int T) { return Rect(W - Edge - 2 - T, Edge + 1, W - Edge - 2, H); }, false, true,
         false, false},
        {TrUp, taLeftJustify, vlTop,
         [](int T) { return Rect(Edge + 2, Edge + 2, Edge + 2 + T, H); }, false, true, false,
         false},
        {TrUp, taCenter, VlBottom,
         [](int T) { return Rect(W / 2 - T / 2, 0, W / 2 - T / 2 + T, H - Edge - 1); }, false,
         false, false, true},
    };
    for (const TCase& Case : Cases) {
        auto P = CaptionPanel(W, H, "W_");
        P->SetBorderWidth(2);
        P->SetBevelOuter(bvRaised);
        P->SetTextRotation(Case.Rotation);
        P->SetAlignment(Case.Alignment);
        P->SetVertAlign(Case.VertAlign);
        TBitmap Measure(1, 1);
        Measure.Canvas()->SetFont(P->Font());
        const TRect Box = Case.Box(Measure.Canvas()->TextHeight("^_"));
        const auto Glyphs = Shot(*P).Where([](TColor C) { return C == Ink; });
        ASSERT_FALSE(Glyphs.empty());
        TRect Drawn{W, H, 0, 0};
        for (const auto& [X, Y] : Glyphs)
            Drawn = Rect(std::min(Drawn.Left, X), std::min(Drawn.Top, Y),
                         std::max(Drawn.Right, X + 1), std::max(Drawn.Bottom, Y + 1));
        const std::string Where = "rotation " + std::to_string(Case.Rotation) + " alignment " +
                                  std::to_string(Case.Alignment);
        EXPECT_GE(Drawn.Left, Box.Left) << Where;
        EXPECT_GE(Drawn.Top, Box.Top) << Where;
        EXPECT_LE(Drawn.Right, Box.Right) << Where;
        EXPECT_LE(Drawn.Bottom, Box.Bottom) << Where;
        EXPECT_TRUE(!Case.TouchLeft || Drawn.Left <= Box.Left + Slack) << Where;
        EXPECT_TRUE(!Case.TouchTop || Drawn.Top <= Box.Top + Slack) << Where;
        EXPECT_TRUE(!Case.TouchRight || Drawn.Right >= Box.Right - Slack) << Where;
        EXPECT_TRUE(!Case.TouchBottom || Drawn.Bottom >= Box.Bottom - Slack) << Where;
        // Only the underscore, the last character, reaches the bottom of the character cell:
        // the left edge of a caption reading downwards, the right edge of one reading upwards.
        for (const auto& [X, Y] : Glyphs) {
            const int MiddleY = (Drawn.Top + Drawn.Bottom) / 2;
            EXPECT_FALSE(Case.Rotation == TrDown && X == Drawn.Left && Y <= MiddleY) << Where;
            EXPECT_FALSE(Case.Rotation == TrUp && X == Drawn.Right - 1 && Y >= MiddleY) << Where;
            EXPECT_FALSE(Case.Rotation == trNone && Y == Drawn.Bottom - 1 &&
                         X <= (Drawn.Left + Drawn.Right) / 2)
                << Where;
        }
    }
}

TEST(GradPanCaption, ATurnedCaptionStopsAt255BytesWithoutSplittingACharacter) {
    const auto Render = [](const AnsiString& Caption) {
        auto P = CaptionPanel(24, 1400, Caption);
        P->Font()->SetHeight(-8);
        P->SetTextRotation(TrDown);
        P->SetVertAlign(vlTop);
        return Shot(*P).Where([](TColor C) { return C == Ink; });
    };
    const AnsiString Dots(254, '.');
    EXPECT_EQ(Render(Dots + "\x83\x41\x83\x41"), Render(Dots)) << "アア would split at byte 255";
    EXPECT_EQ(Render(Dots + ".:::"), Render(Dots + "."));
    EXPECT_NE(Render(Dots + "."), Render(Dots));
}

// ---- Frame

// Along the middle row and column: the outer bevel (raised: white, then grey), the Ctl3D ring
// in the panel colour over B pixels, the inner bevel (lowered: grey, then white), the face.
TEST(GradPanFrame, BevelsAndTheCtl3DRingAreRedrawnOverTheFace) {
    auto P = MakePanel(40, 30, bdFlat);
    P->SetColorStart(Face);
    P->SetColor(clRed);
    P->SetBevelOuter(bvRaised);
    P->SetBevelInner(bvLowered);
    P->SetBevelWidth(2);
    P->SetBorderWidth(3);
    P->SetCtl3D(true);
    const TShot S = Shot(*P);
    const std::vector<TColor> Edge = {clWhite, clWhite, clRed, clRed, clRed, clGray, clGray};
    const std::vector<TColor> FarEdge = {clGray, clGray, clRed, clRed, clRed, clWhite, clWhite};
    for (std::size_t I = 0; I < Edge.size(); ++I) {
        const int D = static_cast<int>(I);
        EXPECT_EQ(S(D, 15), Edge[I]) << "left " << D;
        EXPECT_EQ(S(20, D), Edge[I]) << "top " << D;
        EXPECT_EQ(S(39 - D, 15), FarEdge[I]) << "right " << D;
        EXPECT_EQ(S(20, 29 - D), FarEdge[I]) << "bottom " << D;
    }
    EXPECT_EQ(S(7, 15), Face);
    P->SetCtl3D(false);
    EXPECT_EQ(Shot(*P)(3, 15), Face) << "without Ctl3D the ring shows the face";
}

// ---- Hit testing and moving

TEST(GradPanHitTest, AMoveablePanelAnswersByZone) {
    auto P = MakePanel(100, 50);
    P->SetMoveable(true);
    const std::pair<TPoint, int> Cases[] = {
        {{3, 3}, HTTOPLEFT},   {{3, 47}, HTBOTTOMLEFT},   {{3, 25}, HTLEFT},
        {{97, 3}, HTTOPRIGHT}, {{97, 47}, HTBOTTOMRIGHT}, {{97, 25}, HTRIGHT},
        {{50, 3}, HTTOP},      {{50, 47}, HTBOTTOM},      {{50, 25}, HTCAPTION},
        {{6, 6}, HTCAPTION},   {{94, 44}, HTCAPTION},     {{95, 45}, HTBOTTOMRIGHT},
    };
    for (const auto& [At, Answer] : Cases) {
        const TPoint Screen = P->ClientToScreen(At);
        EXPECT_EQ(SendMessage(P.get(), WM_NCHITTEST, 0, MAKELPARAM(Screen.X, Screen.Y)), Answer)
            << At.X << "," << At.Y;
    }
    P->SetMoveable(false);
    const TPoint Centre = P->ClientToScreen({50, 25});
    EXPECT_EQ(SendMessage(P.get(), WM_NCHITTEST, 0, MAKELPARAM(Centre.X, Centre.Y)), HTNOWHERE);
    P->SetDesigningForTest();
    EXPECT_EQ(SendMessage(P.get(), WM_NCHITTEST, 0, MAKELPARAM(Centre.X, Centre.Y)), HTCLIENT);
}

TEST(GradPanHitTest, DraggingTheInnerAreaMovesThePanelAndReportsEachMove) {
    TWinControl Parent(nullptr);
    Parent.SetBounds(0, 0, 300, 200);
    auto* P = new TProbePan(&Parent);
    P->SetParent(&Parent);
    P->SetBounds(10, 20, 100, 50);
    P->SetMoveable(true);
    int Moves = 0;
    P->OnPanelMove = [&](TObject* Sender) {
        EXPECT_EQ(Sender, P);
        ++Moves;
    };
    int Clicks = 0;
    P->OnClick = [&](TObject*) { ++Clicks; };
    TestSupport::MouseDown(P, mbLeft, {50, 25});
    TestSupport::MouseMove(P, {60, 30}, TShiftState{ssLeft});
    // The panel has moved under the pointer, which stays where it was on it.
    TestSupport::MouseUp(P, mbLeft, {50, 25});
    EXPECT_EQ(P->BoundsRect(), Bounds(20, 25, 100, 50));
    EXPECT_GE(Moves, 1);
    EXPECT_EQ(Clicks, 0);
    TestSupport::MouseDown(P, mbLeft, {97, 47});
    TestSupport::MouseUp(P, mbLeft, {117, 57});
    EXPECT_EQ(P->BoundsRect(), Bounds(20, 25, 120, 60)) << "the corner resizes";
    TestSupport::MouseDown(P, mbLeft, {50, 25});
    TestSupport::MouseUp(P, mbLeft, {1050, 1025});
    EXPECT_EQ(P->BoundsRect(), Bounds(180, 140, 120, 60)) << "kept within the parent";
}

// Outside design a panel that is not moveable answers "nowhere": its own surface and the
// windowless controls drawn on it get no mouse input, windowed controls on it still do.
TEST(GradPanHitTest, AFixedPanelKeepsTheMouseFromItselfAndItsWindowlessControls) {
    auto P = MakePanel(200, 60);
    auto* Label = new TGraphicControl(P.get());
    Label->SetParent(P.get());
    Label->SetBounds(10, 10, 40, 20);
    auto* Button = new TPanel(P.get());
    Button->SetParent(P.get());
    Button->SetBounds(100, 10, 40, 20);
    std::vector<std::string> Log;
    P->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { Log.push_back("panel"); };
    Label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        Log.push_back("label");
    };
    Button->OnClick = [&](TObject*) { Log.push_back("button"); };
    for (TControl* C : std::initializer_list<TControl*>{P.get(), Label, Button})
        TestSupport::Click(C, mbLeft, {5, 5});
    EXPECT_EQ(Log, std::vector<std::string>{"button"});
    const TRect Before = TestSupport::WindowBounds(P.get());
    TestSupport::MouseDown(P.get(), mbLeft, {50, 30});
    TestSupport::MouseUp(P.get(), mbLeft, {80, 40});
    EXPECT_EQ(TestSupport::WindowBounds(P.get()), Before);
}

// ---- Repaints

TEST(GradPanRepaint, SettersRepaintAtOnceWithoutComparingAndTheImageOnlyInImageModes) {
    TWinControl Window(nullptr);
    Window.SetBounds(0, 0, 200, 100);
    auto* P = new TProbePan(&Window);
    P->SetParent(&Window);
    ASSERT_TRUE(TestSupport::ShowAndWait(&Window));
    const std::pair<const char*, std::function<void()>> Repainting[] = {
        {"BackGroundEffect", [P] { P->SetBackGroundEffect(P->BackGroundEffect()); }},
        {"VertAlign", [P] { P->SetVertAlign(P->VertAlign()); }},
        {"ColorStart", [P] { P->SetColorStart(P->ColorStart()); }},
        {"ColorEnd", [P] { P->SetColorEnd(P->ColorEnd()); }},
        {"ColorShadow", [P] { P->SetColorShadow(P->ColorShadow()); }},
        {"TextEffect", [P] { P->SetTextEffect(P->TextEffect()); }},
        {"TextRotation", [P] { P->SetTextRotation(P->TextRotation()); }},
        {"Ctl3D", [P] { P->SetCtl3D(P->Ctl3D()); }},
    };
    for (const auto& [Name, Set] : Repainting) {
        P->Paints = 0;
        Set();
        EXPECT_EQ(P->Paints, 1) << Name;
    }
    P->Paints = 0;
    P->SetMarge(9);
    P->SetMoveable(true);
    EXPECT_EQ(P->Paints, 0);
    const TBitmap Other(7, 7);
    for (const TDirection Mode : {bdFlat, bdUp, bdTileImage, bdStretchImage}) {
        P->SetBackGroundEffect(Mode);
        P->Paints = 0;
        P->SetBitmap(&Other);
        P->Bitmap()->SetSize(8, 8);
        const bool ImageMode = Mode == bdTileImage || Mode == bdStretchImage;
        EXPECT_EQ(P->Paints, ImageMode ? 2 : 0) << "mode " << Mode;
    }
}

// ---- Form file

namespace {

class TRoot : public TComponent {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TRoot"; }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
        for (int I = 0; I < ComponentCount(); ++I)
            Proc(Components(I));
    }
};

const bool RootRegistered = [] {
    TPublish<TRoot>("TRoot", "TComponent");
    return true;
}();

} // namespace

TEST(GradPanForm, EveryPropertyIsStoredAndReadBackWithTheImage) {
    TRoot Fresh(nullptr);
    Fresh.SetName("Root");
    (new TGradPan(&Fresh))->SetName("Plain");
    const std::string Initial = WriteComponentText(&Fresh);
    for (const char* Stored : {"BackGroundEffect = bdVertIn", "VertAlign = vlCenter",
                               "ColorEnd = clWhite", "ColorStart = clTeal", "ColorShadow = clGray",
                               "TextEffect = teShadow", "TextRotation = trNone", "Ctl3D = False",
                               "Bitmap.Data = {", "Marge = 6", "Moveable = False"})
        EXPECT_NE(Initial.find(Stored), std::string::npos) << Stored << "\n" << Initial;

    TRoot Source(nullptr);
    Source.SetName("Root");
    auto* P = new TGradPan(&Source);
    P->SetName("LT1");
    P->SetBackGroundEffect(bdHorzIn);
    P->SetTextRotation(TrDown);
    P->SetVertAlign(VlBottom);
    P->SetTextEffect(teRaised);
    P->SetColorStart(7099731);
    P->SetColorEnd(clSilver);
    P->SetCtl3D(true);
    P->SetMarge(9);
    P->SetMoveable(true);
    TBitmap Image(3, 2);
    Image.Canvas()->SetPixel(2, 1, clRed);
    P->SetBitmap(&Image);
    const std::string Text = WriteComponentText(&Source);
    TRoot Target(nullptr);
    ReadComponentText(&Target, Text);
    auto* Copy = ComponentByName<TGradPan>(&Target, "LT1");
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(WriteComponentText(&Target), Text);
    EXPECT_EQ(Copy->VertAlign(), VlBottom);
    EXPECT_EQ(Copy->ColorStart(), 7099731);
    EXPECT_EQ(Copy->Bitmap()->Width(), 3);
    EXPECT_EQ(Copy->Bitmap()->Canvas()->Pixel(2, 1), clRed);
}
