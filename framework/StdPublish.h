// The published properties that the standard controls share, for their TPublish tables.
// Included only by the layer's .cpp files.
#pragma once

#include "Controls.h"
#include "Menus.h"
#include "TypInfo.h"

namespace StdPublish {

// Members inherited from TControl need the explicit types to become members of C.
template <class C> TPublish<C>& Visual(TPublish<C>& P, bool ParentColorDefault) {
    return P.template Enum<TAlign, TAlign>("Align", &C::Align, &C::SetAlign, AlignNames(), alNone)
        .template Int<TColor, TColor>("Color", &C::Color, &C::SetColor, std::nullopt,
                                      &ColorIdents())
        .StoredIf([](const C* Control) { return !Control->ParentColor(); })
        .template Int<TCursor, TCursor>("Cursor", &C::Cursor, &C::SetCursor, crDefault,
                                        &CursorIdents())
        .Bool("Enabled", &C::Enabled, &C::SetEnabled, true)
        .template Object<TFont>("Font", TTypeKind::Class, &C::Font)
        .StoredIf([](const C* Control) { return !Control->ParentFont(); })
        .template Str<const AnsiString&, const AnsiString&>("Hint", &C::Hint, &C::SetHint)
        .Bool("ParentColor", &C::ParentColor, &C::SetParentColor, ParentColorDefault)
        .Bool("ParentFont", &C::ParentFont, &C::SetParentFont, true)
        .Bool("ShowHint", &C::ShowHint, &C::SetShowHint, false)
        .template Ref<TPopupMenu, TPopupMenu>("PopupMenu", &C::PopupMenu, &C::SetPopupMenu)
        .Bool("Visible", &C::Visible, &C::SetVisible, true)
        .template Event<TNotifyEvent>("OnClick", &C::OnClick)
        .template Event<TNotifyEvent>("OnDblClick", &C::OnDblClick)
        .template Event<TMouseEvent>("OnMouseDown", &C::OnMouseDown)
        .template Event<TMouseMoveEvent>("OnMouseMove", &C::OnMouseMove)
        .template Event<TMouseEvent>("OnMouseUp", &C::OnMouseUp);
}

template <class C> TPublish<C>& Caption(TPublish<C>& P) {
    return P.template Str<const AnsiString&, const AnsiString&>("Caption", &C::Caption,
                                                                &C::SetCaption);
}

template <class C> TPublish<C>& Windowed(TPublish<C>& P, bool TabStopDefault) {
    return P.Bool("TabStop", &C::TabStop, &C::SetTabStop, TabStopDefault)
        .template Int<int, int>("TabOrder", &C::TabOrder, &C::SetTabOrder)
        .template Event<TNotifyEvent>("OnEnter", &C::OnEnter)
        .template Event<TNotifyEvent>("OnExit", &C::OnExit)
        .template Event<TKeyEvent>("OnKeyDown", &C::OnKeyDown)
        .template Event<TKeyPressEvent>("OnKeyPress", &C::OnKeyPress)
        .template Event<TKeyEvent>("OnKeyUp", &C::OnKeyUp);
}

} // namespace StdPublish
