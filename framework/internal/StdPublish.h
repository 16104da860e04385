// Published properties that the standard controls add to TControl's table, or declare again
// with their own defaults. Included only by the layer's .cpp files.
#pragma once

#include "Controls.h"
#include "TypInfo.h"

namespace StdPublish {

// Members inherited from TControl need the explicit types to become members of C.
template <class C> TPublish<C>& Caption(TPublish<C>& P) {
    return P.template Str<const AnsiString&, const AnsiString&>("Caption", &C::Caption,
                                                                &C::SetCaption);
}

template <class C> TPublish<C>& TabStop(TPublish<C>& P) {
    return P.Bool("TabStop", &C::TabStop, &C::SetTabStop, C::DefaultTabStop);
}

template <class C> TPublish<C>& Color(TPublish<C>& P) {
    return P
        .template Int<TColor, TColor>("Color", &C::Color, &C::SetColor, C::DefaultColor,
                                      &ColorIdents())
        .StoredIf([](const C* Control) { return !Control->ParentColor(); });
}

} // namespace StdPublish
