#include "WinTypes.h"

#include <climits>
#include <cstdlib>

int MulDiv(int Number, int Numerator, int Denominator) {
    if (Denominator == 0)
        return -1;
    const long long Product = static_cast<long long>(Number) * Numerator;
    long long Quotient = Product / Denominator;
    const long long Remainder = Product % Denominator;
    if (2 * std::llabs(Remainder) >= std::llabs(static_cast<long long>(Denominator)))
        Quotient += (Product < 0) != (Denominator < 0) ? -1 : 1;
    if (Quotient > INT_MAX || Quotient < INT_MIN)
        return -1;
    return static_cast<int>(Quotient);
}

void InflateRect(TRect& R, int DX, int DY) {
    R.Left -= DX;
    R.Top -= DY;
    R.Right += DX;
    R.Bottom += DY;
}

bool PtInRect(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

TShiftState ShiftStateOfFlags(WPARAM Flags) {
    TShiftState Shift;
    if (Flags & MK_SHIFT)
        Shift.Include(ssShift);
    if (Flags & MK_CONTROL)
        Shift.Include(ssCtrl);
    if (Flags & MK_LBUTTON)
        Shift.Include(ssLeft);
    if (Flags & MK_RBUTTON)
        Shift.Include(ssRight);
    if (Flags & MK_MBUTTON)
        Shift.Include(ssMiddle);
    return Shift;
}
