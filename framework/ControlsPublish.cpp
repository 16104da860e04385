// The controls' published properties and the names their form files use.
#include "Controls.h"

#include "Menus.h"
#include "TypInfo.h"

const TIdentTable& CursorIdents() {
    static const TIdentTable Idents{
        {"crDefault", crDefault},     {"crNone", crNone},           {"crArrow", crArrow},
        {"crCross", crCross},         {"crIBeam", crIBeam},         {"crSizeNESW", crSizeNESW},
        {"crSizeNS", crSizeNS},       {"crSizeNWSE", crSizeNWSE},   {"crSizeWE", crSizeWE},
        {"crUpArrow", crUpArrow},     {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
        {"crNoDrop", crNoDrop},       {"crHSplit", crHSplit},       {"crVSplit", crVSplit},
        {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},     {"crNo", crNo},
        {"crAppStart", crAppStart},   {"crHelp", crHelp},           {"crHandPoint", crHandPoint},
        {"crSizeAll", crSizeAll},
    };
    return Idents;
}

const std::vector<const char*>& AlignNames() {
    static const std::vector<const char*> Names{"alNone",  "alTop",    "alBottom", "alLeft",
                                                "alRight", "alClient", "alCustom"};
    return Names;
}

const std::vector<const char*>& AlignmentNames() {
    static const std::vector<const char*> Names{"taLeftJustify", "taRightJustify", "taCenter"};
    return Names;
}

const std::vector<const char*>& TextLayoutNames() {
    static const std::vector<const char*> Names{"tlTop", "tlCenter", "tlBottom"};
    return Names;
}

const std::vector<const char*>& ImeModeNames() {
    static const std::vector<const char*> Names{
        "imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha",   "imAlpha",
        "imHira",    "imSKata", "imKata", "imChinese",  "imSHanguel", "imHanguel"};
    return Names;
}

const std::vector<const char*>& BorderStyleNames() {
    static const std::vector<const char*> Names{"bsNone",   "bsSingle",     "bsSizeable",
                                                "bsDialog", "bsToolWindow", "bsSizeToolWin"};
    return Names;
}

void RegisterControls() {
    TPublish<TControl>("TControl", "TComponent")
        .Int("Left", &TControl::Left, &TControl::SetLeft)
        .Int("Top", &TControl::Top, &TControl::SetTop)
        .Int("Width", &TControl::Width, &TControl::SetWidth)
        .Int("Height", &TControl::Height, &TControl::SetHeight)
        .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, &CursorIdents())
        .Str("Hint", &TControl::Hint, &TControl::SetHint)
        .Enum("HelpType", &TControl::HelpType, &TControl::SetHelpType, HelpTypeNames(),
              std::optional(TControl::DefaultHelpType))
        .Str("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword)
        .Int("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext,
             TControl::DefaultHelpContext)
        .Held()
        .Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames(), std::optional(alNone))
        .Str("Caption", &TControl::Caption, &TControl::SetCaption)
        .Int("Color", &TControl::Color, &TControl::SetColor, TControl::DefaultColor, &ColorIdents())
        .StoredIf([](const TControl* C) { return !C->ParentColor(); })
        .Int("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor,
             TControl::DefaultDragCursor, &CursorIdents())
        .Enum("DragMode", &TControl::DragMode, &TControl::SetDragMode, DragModeNames(),
              std::optional(TControl::DefaultDragMode))
        .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, TControl::DefaultEnabled)
        .Object("Font", TTypeKind::Class, &TControl::Font)
        .StoredIf([](const TControl* C) { return !C->ParentFont(); })
        .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor,
              TControl::DefaultParentColor)
        .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont,
              TControl::DefaultParentFont)
        .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint,
              TControl::DefaultParentShowHint)
        .Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
        .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
        .StoredIf([](const TControl* C) { return !C->ParentShowHint(); })
        .Bool("Visible", &TControl::Visible, &TControl::SetVisible, TControl::DefaultVisible)
        .Event("OnClick", &TControl::OnClick)
        .Event("OnDblClick", &TControl::OnDblClick)
        .Event("OnDragDrop", &TControl::OnDragDrop)
        .Event("OnDragOver", &TControl::OnDragOver)
        .Event("OnEndDrag", &TControl::OnEndDrag)
        .Event("OnMouseDown", &TControl::OnMouseDown)
        .Event("OnMouseEnter", &TControl::OnMouseEnter)
        .Event("OnMouseLeave", &TControl::OnMouseLeave)
        .Event("OnMouseMove", &TControl::OnMouseMove)
        .Event("OnMouseUp", &TControl::OnMouseUp)
        .Event("OnResize", &TControl::OnResize)
        .Event("OnStartDrag", &TControl::OnStartDrag);
    TPublish<TWinControl>("TWinControl", "TControl")
        .Held()
        .Bool("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D, TWinControl::DefaultCtl3D)
        .Enum("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode, ImeModeNames(),
              std::optional(TWinControl::DefaultImeMode))
        .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder,
             TWinControl::DefaultTabOrder)
        .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop,
              TWinControl::DefaultTabStop)
        .Event("OnEnter", &TWinControl::OnEnter)
        .Event("OnExit", &TWinControl::OnExit)
        .Event("OnKeyDown", &TWinControl::OnKeyDown)
        .Event("OnKeyPress", &TWinControl::OnKeyPress)
        .Event("OnKeyUp", &TWinControl::OnKeyUp);
    TPublish<TGraphicControl>("TGraphicControl", "TControl");
    TPublish<TCustomControl>("TCustomControl", "TWinControl");
}
