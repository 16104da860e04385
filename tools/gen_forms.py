#!/usr/bin/env python3
"""Writes the form files of both wizards (wizards/*/u*.dfm).

The two forms share most of their controls and differ in places, captions and column lists;
generating both from one description keeps their common parts in step. Run it from the
repository's top folder after changing a form, and commit the form files it writes."""

GRID_OPTIONS = "goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect"
DARK = 7099731          # red 83, green 85, blue 108
CANCEL_LABEL = 10652814
BANNER_IMAGE = "resources/images/banner.png"
TITLE_STRIP_END = 10652814
MAKER_WEB = "https://quovant.example.jp/"
MAKER_MAIL = "mailto:support@quovant.example.jp"


def font(name, height, color="clWindowText", style=""):
    return ["Font.Charset = SHIFTJIS_CHARSET", f"Font.Color = {color}",
            f"Font.Height = -{height}", f"Font.Name = '{name}'", f"Font.Style = [{style}]",
            "ParentFont = False"]


def obj(indent, name, cls, props, children=()):
    p = " " * indent
    out = [f"{p}object {name}: {cls}"]
    out += [f"{p}  {x}" if not x.startswith(" ") else x for x in props]
    for c in children:
        out += c
    out.append(f"{p}end")
    return out


def binary_property(name, path, indent):
    data = open(path, "rb").read().hex().upper()
    lines = [data[i:i + 64] for i in range(0, len(data), 64)]
    lines[-1] += "}"
    return [f"{name} = {{"] + [" " * (indent + 4) + line for line in lines]


def icon_button(indent, name, place, art, handler=None):
    """A flat icon button that rises under the pointer. Its hover colour equals its resting
    colour, the button face; under the visual style neither shows, the bar shows through."""
    return obj(indent, name, "TIconButton", place + [
        "ButtonStyle = bsIELike", "InColor = clBtnFace", "Stretch = False"]
        + binary_property("Icon.Data", f"resources/icons/{art}.ico", indent)
        + ([f"OnClick = {handler}"] if handler else []))


def box_label(indent, name, place, caption, color, border, face="ＭＳ Ｐゴシック"):
    """A command caption: white 12-pixel text on the bar, without bevels. Without a colour of
    its own it takes the bar's: on the button face white text could not be read."""
    return obj(indent, name, "TBoxLabel", place + [
        f"Caption = '{caption}'", "BevelInner = bvNone", "BevelOuter = bvNone"]
        + ([f"Color = {color}"] if color else ["ParentColor = True"])
        + (["BorderStyle = bsSingle"] if border else []) + font(face, 12, "clWhite"))


def url_label(indent, name, top, address):
    """White underlined text on a box of the bar's colour: white on the panel's face could not
    be read."""
    return obj(indent, name, "TURLLabel", bounds(48, top, 215, 13) + [
        "AutoSize = False", f"Caption = '{address}'", f"Color = {DARK}", "ParentColor = False",
        "Executable = True"]
        + font("ＭＳ Ｐゴシック", 12, "clWhite", "fsUnderline"))


def bounds(l, t, w, h):
    return [f"Left = {l}", f"Top = {t}", f"Width = {w}", f"Height = {h}"]


def grid_params(captions, options):
    out = ["CellParams = <"]
    for col, cap in enumerate(captions, start=1):
        out += ["  item", "    Alignment = taCenter", f"    Caption = '{cap}'",
                "    CellColor = clWindow", f"    Col = {col}", "    ColMax = 0",
                "    FontColor = clWhite", "    FontColorEnabled = True", "    FontWidth = 1",
                "    ImeModeEnabled = False", f"    Name = 'パラメータ{col}'",
                f"    Options = [{options}]", "    Row = 0", "    RowMax = 0", "    Tag = 0",
                "  end"]
    out[-1] = "  end>"
    return out


def button(indent, name, caption, tag, left, top):
    return obj(indent, name, "TButton", bounds(left, top, 121, 25) + [
        f"Caption = '{caption}'", "Cursor = crHandPoint", f"Tag = {tag}",
        "OnClick = Button1Click"])


def form(f):
    i = 2
    grid_opts = GRID_OPTIONS + (", goEditing" if f["editing"] else "")
    top_band = obj(i, "Panel1", "TPanel", [
        "Align = alTop", f"Height = {f['band']}", "BevelOuter = bvNone", "Color = clWhite",
        "ParentColor = False"], f["title_controls"])
    # The banner's gradient starts from its colour and ends in the gradient panel's white.
    left_band = obj(i, "LT1", "TGradPan", [
        "Align = alLeft", f"Width = {f['left_band']}", "Caption = 'Quovant Version2'",
        f"Color = {DARK}", "ParentColor = False"]
        + font("ＭＳ Ｐ明朝", 21, "clWhite", "fsBold")
        + ["BackGroundEffect = bdHorzIn", "VertAlign = VlBottom", f"ColorStart = {DARK}",
           "TextRotation = TrDown"] + binary_property("Bitmap.Data", BANNER_IMAGE, i))
    status = obj(i, "StatusBar1", "TStatusBar", ["Top = 647", "Height = 19"])
    labels = f["box_label"]
    # No bevel: the decorative button at its left edge takes the bar's full height.
    bottom_band = obj(i, "GradPan2", "TGradPan", [
        "Align = alBottom", f"Top = {647 - f['band']}", f"Height = {f['band']}",
        "BevelOuter = bvNone", f"Color = {DARK}", "ParentColor = False",
        f"ColorEnd = {DARK}", f"ColorStart = {DARK}"], [
        icon_button(i + 2, "IconButton7", ["Align = alLeft", "Width = 49"], "Sheet"),
        icon_button(i + 2, "IconButton4", bounds(621, 1, 36, 36), "Help", "IconButton4Click"),
        box_label(i + 2, "BoxLabel1", bounds(672, 23, 57, 15), "HELP", labels["help_color"],
                  labels["border"]),
        icon_button(i + 2, "IconButton3", bounds(752, 4, 36, 33), "Execute",
                    "IconButton3Click"),
        box_label(i + 2, "BoxLabel20", bounds(800, 23, 57, 15), "実　行", None,
                  labels["border"]),
        icon_button(i + 2, "IconButton1", bounds(873, 1, 36, 36), "Cancel", "IconButton1Click"),
        box_label(i + 2, "BoxLabel21", bounds(920, 23, 65, 15), "キャンセル", CANCEL_LABEL,
                  labels["border"], "ＭＳ Ｐ明朝"),
    ])
    targets = [button(i + 4, *b) for b in f["buttons"]]
    targets.append(obj(i + 4, "Button11", "TButton", bounds(*f["cancel_place"], 121, 25) + [
        "Caption = 'キャンセル'", "Cursor = crArrow", "OnClick = Button11Click"]))
    mapping = obj(i, "Panel6", "TPanel", bounds(120, f["panel6_top"], 769, 465), [
        obj(i + 2, "ListBox1", "TListBox", bounds(24, 24, 265, 305) + [
            "Cursor = crHandPoint"] + font("ＭＳ Ｐゴシック", 13)),
        obj(i + 2, "GroupBox2", "TGroupBox", bounds(312, 16, 441, 313) + [
            "Caption = '表示されているデータに該当するものをクリックして下さい'"], targets),
        obj(i + 2, "Bevel1", "TBevel", bounds(24, 344, 265, 81)),
        obj(i + 2, "Panel5", "TPanel", bounds(32, 350, 249, 20) + [
            f"Caption = '{f['panel5']}'"]),
        obj(i + 2, "Panel4", "TPanel", bounds(32, 370, 249, 20) + [
            f"Caption = '{f['panel4']}'"]),
        url_label(i + 2, "URLLabel3", 392, MAKER_WEB),
        url_label(i + 2, "URLLabel4", 408, MAKER_MAIL),
        obj(i + 2, "Separater_Char", "TRadioGroup", bounds(312, 336, 257, 89) + [
            "Caption = '区切文字指定'", "Columns = 2", "ItemIndex = 0", "Items.Strings = (",
            "  'カンマ区切り'", "  'タブ区切り'", "  'スペース区切り'", "  'セミコロン区切り')"]),
        obj(i + 2, "Button21", "TButton", bounds(632, 392, 75, 25) + [
            "Caption = 'スタート'", "OnClick = Button21Click"]),
    ])
    widths = " ".join(str(w) for w in f["widths"])
    grid = obj(i + 2, "StrColGrid1", "TStrColGrid", [
        "Align = alClient", f"ColCount = {len(f['widths'])}", "DefaultColWidth = 11",
        "DefaultRowHeight = 18", "DefaultDrawing = False", "FixedColor = 12615808",
        "Ctl3D = False", "RowCount = 50", f"Options = [{grid_opts}]",
        "FocusCellFontColorEnabled = True", "Layout = tlTop", f"ColWidths = ({widths})"]
        + font("ＭＳ Ｐゴシック", 13)
        + (["PopupMenu = PopupMenu1", "OnSetEditText = StrColGrid1SetEditText"]
           if f["editing"] else [])
        + grid_params(f["captions"], grid_opts))
    grid_panel = obj(i, "Panel7", "TPanel", bounds(f["panel7_left"], 560, 921, 540) + [
        "Visible = False"], [grid])
    dialog = obj(i, "TextOpenDialog1", "TTextOpenDialog", [
        "Filter = 'CSVファイル|*.CSV'", "Title = 'CSVファイルを指定して下さい'",
        "AutoExtChange = False", "ShowPlacesBar = True", "Preview = False"])
    children = [top_band, left_band, status, bottom_band, mapping, grid_panel, dialog]
    children += f["extra"]
    props = ["BorderStyle = bsDialog", f"Caption = '{f['caption']}'",
             "ClientHeight = 666", "ClientWidth = 1010", "Color = clBtnFace"]
    props += font("ＭＳ Ｐゴシック", 12)[:-1]
    props += ["Position = poScreenCenter", "OnClose = FormClose", "OnCreate = FormCreate",
              "OnShow = FormShow"]
    return "\n".join(obj(0, f["name"], f["class"], props, children)) + "\n"


MORVANE = dict(
    name="fmorvane", **{"class": "Tfmorvane"}, caption="クォヴァント-CSVインポ－ト",
    editing=False, band=41, left_band=36, panel6_top=72, panel7_left=64,
    box_label={"help_color": None, "border": False},
    title_controls=[
        obj(4, "Label1", "TLabel", bounds(280, 12, 433, 17) + [
            "Alignment = taCenter", "AutoSize = False",
            "Caption = 'クォヴァント-CSVインポ－ト'"]
            + font("ＭＳ Ｐ明朝", 16, "clNavy", "fsBold, fsUnderline")),
        icon_button(4, "IconButton2", bounds(12, 5, 36, 33), "Mark")],
    panel5="クォヴァント-CSVインポ－ト", panel4="積算データ編 Version2.00",
    buttons=[("Button1", "名　称", 1, 32, 32), ("Button2", "型　番", 2, 32, 72),
             ("Button3", "単　位", 3, 32, 112), ("Button8", "歩　掛", 4, 32, 152),
             ("Button5", "定　価", 9, 32, 192), ("Button9", "備　考", 12, 32, 230),
             ("Button10", "該当なし", 0, 32, 270), ("Button4", "数量[原価]", 5, 168, 32),
             ("Button14", "数量[提出]", 6, 168, 72), ("Button7", "単価[原価]", 7, 168, 112),
             ("Button6", "単価[提出]", 8, 168, 152),
             ("Button12", "付帯単価[原価]", 10, 168, 192),
             ("Button13", "付帯単価[提出]", 11, 168, 232)],
    cancel_place=(168, 270),
    captions=["名　  称", "仕  様 & 型  番", "単位", "歩　掛", "原数量", "提出数量",
              "単価[原価]", "単価[提出]", "定　価", "付帯単価[原価]", "付帯単価[提出]",
              "備　考"],
    widths=[10, 181, 150, 33, 50, 90, 90, 90, 90, 90, 90, 90, 150],
    extra=[obj(2, "WinXP1", "TWinXP", [])])

ROW_MENU = [("N1", "右へ移動(子アイテムにする→ツリ－単価用)", "N1Click"),
            ("N2", "左へ移動(親アイテムにする→ツリ－単価用)", "N2Click"),
            ("N9", "-", None), ("N4", "上へ移動", "N4Click"), ("N5", "下へ移動", "N5Click"),
            ("N10", "-", None), ("N3", "削　除", "N3Click"), ("N8", "割　込", "N8Click"),
            ("N11", "1行追加", "N11Click")]

PELLISK = dict(
    name="fpellisk", **{"class": "Tfpellisk"}, caption="クォヴァント-CSV→単価データ",
    editing=True, band=35, left_band=30, panel6_top=96, panel7_left=56,
    box_label={"help_color": "12615680", "border": True},
    title_controls=[
        icon_button(4, "IconButton2", ["Align = alLeft", "Width = 65"], "Mark"),
        obj(4, "Label1", "TLabel", ["Align = alLeft", "Left = 65", "Width = 249",
                                    "Alignment = taCenter", "AutoSize = False",
                                    "Caption = 'クォヴァント-CSV→単価データ'", "Layout = tlCenter"]
            + font("ＭＳ Ｐゴシック", 16, "clNavy", "fsBold")),
        obj(4, "pjpl", "TGradBox", ["Align = alClient", "StartColor = clWhite",
                                    f"EndColor = {TITLE_STRIP_END}", "GradStep = 128",
                                    "Direction = gdHorizontal"])],
    panel5="クォヴァントCSVエディター", panel4="単価データ編 Version2.00",
    buttons=[("Button1", "名　称", 1, 32, 32), ("Button2", "型　番", 2, 32, 72),
             ("Button3", "単　位", 3, 32, 112), ("Button8", "歩　掛", 4, 32, 152),
             ("Button5", "定　価", 5, 32, 192), ("Button7", "単価[原価]", 6, 32, 232),
             ("Button9", "備　考", 18, 32, 270), ("Button6", "単価1[提出]", 7, 168, 32),
             ("Button4", "単価2[提出]", 8, 168, 72), ("Button14", "単価3[提出]", 9, 168, 112),
             ("Button15", "単価4[提出]", 10, 168, 152),
             ("Button16", "単価5[提出]", 11, 168, 192),
             ("Button12", "付帯単価[原価]", 12, 168, 232),
             ("Button13", "付帯単価[提出]", 13, 304, 32),
             ("Button17", "付帯単価[提出]", 14, 304, 72),
             ("Button18", "付帯単価[提出]", 15, 304, 112),
             ("Button19", "付帯単価[提出]", 16, 304, 152),
             ("Button20", "付帯単価[提出]", 17, 304, 192),
             ("Button10", "該当なし", 0, 304, 270)],
    cancel_place=(168, 270),
    captions=["名　  称", "仕  様 & 型  番", "単位", "歩　掛", "定　価", "単価[原価]",
              "単価1[提出]", "単価2[提出]", "単価3[提出]", "単価4[提出]", "単価5[提出]",
              "付帯単価[原価]", "付帯単価1[提出]", "付帯単価2[提出]", "付帯単価3[提出]",
              "付帯単価4[提出]", "付帯単価5[提出]", "備　考"],
    widths=[10, 180, 150, 33, 50, 90, 90, 90, 90, 90, 80, 80, 80, 80, 80, 80, 80, 80, 100],
    extra=[obj(2, "XPManifest1", "TXPManifest", []), obj(2, "PopupMenu1", "TPopupMenu", [], [
        obj(4, n, "TMenuItem", [f"Caption = '{c}'"] + ([f"OnClick = {h}"] if h else []))
        for n, c, h in ROW_MENU])])

if __name__ == "__main__":
    for path, f in (("wizards/morvane/umorvane.dfm", MORVANE),
                    ("wizards/pellisk/upellisk.dfm", PELLISK)):
        with open(path, "w", encoding="utf-8") as out:
            out.write(form(f))
