// What the column string grid's units share: the empty text handed out for unset strings.
// Included only by those units' sources.
#pragma once

#include "SysUtils.h"

namespace {

const AnsiString& EmptyString() {
    static const AnsiString Text;
    return Text;
}

} // namespace
