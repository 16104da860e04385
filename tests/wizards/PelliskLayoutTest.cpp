// The unit-price form against its layout tables, component by component, as the user first
// sees it and once the mapping has ended; and its window.
#include "FormLayout.h"
#include "upellisk.h"

namespace {

using namespace FormLayout;

constexpr TColor HelpColor = 12615680; // red 0, green 128, blue 192

std::vector<TRow> Rows(bool Mapped) {
    const TFontDesc Gothic12{"ＭＳ Ｐゴシック"_sj, 12, {}, clWindowText};
    const TFontDesc Gothic13{"ＭＳ Ｐゴシック"_sj, 13, {}, clWindowText};
    const TFontDesc Title{"ＭＳ Ｐゴシック"_sj, 16, {fsBold}, clNavy};
    const TFontDesc Banner{"ＭＳ Ｐ明朝"_sj, 21, {fsBold}, clWhite};
    const TFontDesc Command{"ＭＳ Ｐゴシック"_sj, 12, {}, clWhite};
    const TFontDesc CancelCommand{"ＭＳ Ｐ明朝"_sj, 12, {}, clWhite};
    const TFontDesc Link{"ＭＳ Ｐゴシック"_sj, 12, {fsUnderline}, clWhite};
    const auto Target = [&](const char* Name, const AnsiString& Caption, int Left, int Top) {
        return TRow{Name,   "TButton", "GroupBox2",  Left,    Top,         121, 25,
                    alNone, Gothic12,  UnshownColor, Caption, crHandPoint, true};
    };
    return {
        {"Panel1", "TPanel", "fpellisk", 0, 0, 1010, 35, alTop, Gothic12, clWhite, "", crDefault,
         true},
        {"IconButton2", "TIconButton", "Panel1", 0, 0, 65, 35, alLeft, Gothic12, clBtnFace, "",
         crDefault, true},
        {"Label1", "TLabel", "Panel1", 65, 0, 249, 35, alLeft, Title, clWhite,
         "クォヴァント-CSV→単価データ"_sj, crDefault, true},
        {"pjpl", "TGradBox", "Panel1", 314, 0, 696, 35, alClient, Gothic12, UnshownColor, "",
         crDefault, true},
        {"LT1", "TGradPan", "fpellisk", 0, 35, 30, 577, alLeft, Banner, BarColor,
         "Quovant Version2", crDefault, true},
        {"StatusBar1", "TStatusBar", "fpellisk", 0, 647, 1010, 19, alBottom, Gothic12, clBtnFace,
         "", crDefault, true},
        {"GradPan2", "TGradPan", "fpellisk", 0, 612, 1010, 35, alBottom, Gothic12, BarColor, "",
         crDefault, true},
        {"IconButton7", "TIconButton", "GradPan2", 0, 0, 49, 35, alLeft, Gothic12, clBtnFace, "",
         crDefault, true},
        {"IconButton4", "TIconButton", "GradPan2", 621, 1, 36, 36, alNone, Gothic12, clBtnFace, "",
         crDefault, true},
        {"BoxLabel1", "TBoxLabel", "GradPan2", 672, 23, 57, 15, alNone, Command, HelpColor, "HELP",
         crDefault, true},
        {"IconButton3", "TIconButton", "GradPan2", 752, 4, 36, 33, alNone, Gothic12, clBtnFace, "",
         crDefault, true},
        {"BoxLabel20", "TBoxLabel", "GradPan2", 800, 23, 57, 15, alNone, Command, BarColor,
         "実　行"_sj, crDefault, true},
        {"IconButton1", "TIconButton", "GradPan2", 873, 1, 36, 36, alNone, Gothic12, clBtnFace, "",
         crDefault, true},
        {"BoxLabel21", "TBoxLabel", "GradPan2", 920, 23, 65, 15, alNone, CancelCommand,
         TitleStripEnd, "キャンセル"_sj, crDefault, true},
        {"Panel6", "TPanel", "fpellisk", 120, 96, 769, 465, alNone, Gothic12, clBtnFace, "",
         crDefault, !Mapped},
        {"ListBox1", "TListBox", "Panel6", 24, 24, 265, 305, alNone, Gothic13, clWindow, "",
         crHandPoint, true},
        {"GroupBox2", "TGroupBox", "Panel6", 312, 16, 441, 313, alNone, Gothic12, UnshownColor,
         "表示されているデータに該当するものをクリックして下さい"_sj, crDefault, true},
        Target("Button1", "名　称"_sj, 32, 32),
        Target("Button2", "型　番"_sj, 32, 72),
        Target("Button3", "単　位"_sj, 32, 112),
        Target("Button8", "歩　掛"_sj, 32, 152),
        Target("Button5", "定　価"_sj, 32, 192),
        Target("Button7", "単価[原価]"_sj, 32, 232),
        Target("Button9", "備　考"_sj, 32, 270),
        Target("Button6", "単価1[提出]"_sj, 168, 32),
        Target("Button4", "単価2[提出]"_sj, 168, 72),
        Target("Button14", "単価3[提出]"_sj, 168, 112),
        Target("Button15", "単価4[提出]"_sj, 168, 152),
        Target("Button16", "単価5[提出]"_sj, 168, 192),
        Target("Button12", "付帯単価[原価]"_sj, 168, 232),
        Target("Button13", "付帯単価[提出]"_sj, 304, 32),
        Target("Button17", "付帯単価[提出]"_sj, 304, 72),
        Target("Button18", "付帯単価[提出]"_sj, 304, 112),
        Target("Button19", "付帯単価[提出]"_sj, 304, 152),
        Target("Button20", "付帯単価[提出]"_sj, 304, 192),
        Target("Button10", "該当なし"_sj, 304, 270),
        {"Button11", "TButton", "GroupBox2", 168, 270, 121, 25, alNone, Gothic12, UnshownColor,
         "キャンセル"_sj, crArrow, true},
        {"Bevel1", "TBevel", "Panel6", 24, 344, 265, 81, alNone, Gothic12, UnshownColor, "",
         crDefault, true},
        {"Panel5", "TPanel", "Panel6", 32, 350, 249, 20, alNone, Gothic12, clBtnFace,
         "クォヴァントCSVエディター"_sj, crDefault, true},
        {"Panel4", "TPanel", "Panel6", 32, 370, 249, 20, alNone, Gothic12, clBtnFace,
         "単価データ編 Version2.00"_sj, crDefault, true},
        {"URLLabel3", "TURLLabel", "Panel6", 48, 392, 215, 13, alNone, Link, BarColor,
         "https://quovant.example.jp/", LinkHand, true},
        {"URLLabel4", "TURLLabel", "Panel6", 48, 408, 215, 13, alNone, Link, BarColor,
         "mailto:support@quovant.example.jp", LinkHand, true},
        {"Separater_Char", "TRadioGroup", "Panel6", 312, 336, 257, 89, alNone, Gothic12,
         UnshownColor, "区切文字指定"_sj, crDefault, true},
        {"Button21", "TButton", "Panel6", 632, 392, 75, 25, alNone, Gothic12, UnshownColor,
         "スタート"_sj, crDefault, true},
        {"Panel7", "TPanel", "fpellisk", 56, Mapped ? 64 : 560, 921, 540, alNone, Gothic12,
         clBtnFace, "", crDefault, Mapped},
        {"StrColGrid1", "TStrColGrid", "Panel7", 1, 1, 919, 538, alClient, Gothic13, clWindow, "",
         crDefault, true},
    };
}

const std::vector<TComponentRow> Others{{"TextOpenDialog1", "TTextOpenDialog"},
                                        {"XPManifest1", "TXPManifest"},
                                        {"PopupMenu1", "TPopupMenu"},
                                        {"N1", "TMenuItem"},
                                        {"N2", "TMenuItem"},
                                        {"N9", "TMenuItem"},
                                        {"N4", "TMenuItem"},
                                        {"N5", "TMenuItem"},
                                        {"N10", "TMenuItem"},
                                        {"N3", "TMenuItem"},
                                        {"N8", "TMenuItem"},
                                        {"N11", "TMenuItem"}};

// The sample's eighteen fields, in order.
const std::vector<const char*> Targets{"Button1",  "Button2",  "Button3",  "Button8",  "Button5",
                                       "Button7",  "Button6",  "Button4",  "Button14", "Button15",
                                       "Button16", "Button12", "Button13", "Button17", "Button18",
                                       "Button19", "Button20", "Button9"};

// The title strip: bands of five pixels from white to its end colour, which fills the rest.
void ExpectTitleStrip(const TRender& R, const TControl* Strip) {
    SCOPED_TRACE("title strip");
    EXPECT_EQ(R.At(Strip, 4, 20), clWhite);
    EXPECT_EQ(R.At(Strip, 5, 20), static_cast<TColor>(RGB(254, 254, 254)));
    EXPECT_EQ(R.At(Strip, 644, 20), static_cast<TColor>(RGB(143, 141, 163)));
    EXPECT_EQ(R.Count(Strip, Rect(645, 0, 696, 35), TitleStripEnd), 51 * 35);
}

class PelliskLayoutTest : public TFormOnSample<Tfpellisk> {
protected:
    PelliskLayoutTest() : TFormOnSample(QUOVANT_SAMPLES "/tanka-comma.CSV") {}
};

TEST_F(PelliskLayoutTest, EveryComponentStandsAndIsDrawnAsTheTablesSay) {
    ASSERT_EQ(Form->SourceLines()->Count(), 6);
    {
        const TRender R(Form, "pellisk-first");
        ExpectTable(Form, Rows(false), Others);
        ExpectFrameDrawn(R, Form);
        ExpectTitleStrip(R, Get<TControl>(Form, "pjpl"));
        EXPECT_EQ(Get<TLabel>(Form, "Label1")->Alignment(), taCenter);
        ExpectGridSettings(
            Get<TStrColGrid>(Form, "StrColGrid1"),
            {10, 180, 150, 33, 50, 90, 90, 90, 90, 90, 80, 80, 80, 80, 80, 80, 80, 80, 100},
            {"名　  称"_sj, "仕  様 & 型  番"_sj, "単位"_sj, "歩　掛"_sj, "定　価"_sj,
             "単価[原価]"_sj, "単価1[提出]"_sj, "単価2[提出]"_sj, "単価3[提出]"_sj,
             "単価4[提出]"_sj, "単価5[提出]"_sj, "付帯単価[原価]"_sj, "付帯単価1[提出]"_sj,
             "付帯単価2[提出]"_sj, "付帯単価3[提出]"_sj, "付帯単価4[提出]"_sj, "付帯単価5[提出]"_sj,
             "備　考"_sj},
            {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goEditing},
            "PopupMenu1");
        EXPECT_EQ(Get<TLabel>(Form, "Label1")->Layout(), tlCenter);
    }
    MapAll(Targets);
    const TRender R(Form, "pellisk-mapped");
    ExpectTable(Form, Rows(true), Others);
    ExpectFrameDrawn(R, Form);
    const auto* Grid = Get<TCustomGrid>(Form, "StrColGrid1");
    ExpectCaptionRow(R, Grid, 9);
    ExpectMarkerColumn(R, Grid, 6);
}

TEST_F(PelliskLayoutTest, TheWindowIsCentredAndKeepsItsSizeTitleAndFont) {
    ExpectWindow(Form, "クォヴァント-CSV→単価データ"_sj);
    MapAll(Targets);
    ExpectWindow(Form, "クォヴァント-CSV→単価データ"_sj);
}

} // namespace
