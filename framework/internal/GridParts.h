// Parts of the grid that its sources share, for the layer's own .cpp files only: the geometry
// of one axis, the platform's scroll bars and composition hand-over, and a flag kept for a
// scope.
#pragma once

#include "Grids.h"
#include "PlatformControls.h"

#include <optional>
#include <vector>

// ---- Geometry along one axis

// The columns (or rows) of the grid as they lie along one axis of the client area: the fixed
// ones from 0, then the scrolled ones from First. Every walk stops at the end of the client
// area, so its cost depends on what is visible, not on the number of columns or rows.
class TCustomGrid::TAxis {
public:
    const std::vector<int>& Sizes; // empty: every one has DefaultSize
    int DefaultSize;
    int Count;
    int Fixed;
    int First;
    int Extent;
    int Line;

    int Size(int I) const { return Sizes.empty() ? DefaultSize : Sizes[I]; }

    int FixedExtent() const {
        int Pos = 0;
        for (int I = 0; I < Fixed; ++I)
            Pos += Size(I) + Line;
        return Pos;
    }

    // Calls Fn(index, start) for every fixed and every visible scrolled one.
    template <class F> void ForEachVisible(F Fn) const {
        int Pos = 0;
        for (int I = 0; I < Fixed; ++I) {
            Fn(I, Pos);
            Pos += Size(I) + Line;
        }
        for (int I = First; I < Count && Pos < Extent; ++I) {
            Fn(I, Pos);
            Pos += Size(I) + Line;
        }
    }

    // Whether I is scrolled out or lies past the client area, known without a walk: with lines
    // every one takes at least a pixel.
    bool SurelyHidden(int I) const {
        return I < 0 || I >= Count ||
               (I >= Fixed && (I < First || (Line > 0 && I - First >= Extent)));
    }

    // Start of I, or -1 when it is scrolled out or lies past the client area.
    int Start(int I) const {
        if (SurelyHidden(I))
            return -1;
        int Found = -1;
        ForEachVisible([&](int J, int Pos) {
            if (J == I)
                Found = Pos;
        });
        return Found;
    }

    // The one whose cell or following line covers Pos, or -1.
    int At(int Pos) const {
        int Found = -1;
        if (Pos < 0 || Pos >= Extent)
            return Found;
        ForEachVisible([&](int I, int Start) {
            if (Pos >= Start && Pos < Start + Size(I) + Line)
                Found = I;
        });
        return Found;
    }

    int LastVisible() const {
        int Last = First - 1;
        ForEachVisible([&](int I, int) { Last = std::max(Last, I); });
        return Last;
    }

    // How many wholly visible ones follow from F on.
    int FullFrom(int F) const {
        const int Avail = Extent - FixedExtent();
        int Pos = 0;
        int N = 0;
        for (int I = F; I < Count && Pos + Size(I) <= Avail; ++I, ++N)
            Pos += Size(I) + Line;
        return N;
    }

    // The smallest First with which I is wholly visible (I itself when it cannot be).
    int FirstShowing(int I) const {
        const int Avail = Extent - FixedExtent();
        int F = I;
        int Used = Size(I);
        while (F - 1 >= Fixed && Used + Size(F - 1) + Line <= Avail) {
            --F;
            Used += Size(F) + Line;
        }
        return F;
    }

    int MaxFirst() const { return FirstShowing(Count - 1); }
};

// ---- Platform parts: scroll bars and the input method hand-over

struct TCustomGrid::TPlatform {
    // Whether the parts stand on the grid's window, which goes when its parent window does.
    bool Attached() const { return Bars && Bars->Alive(); }
    std::unique_ptr<Platform::TScrollBars> Bars;
    std::unique_ptr<Platform::TCompositionHandover> Handover;
    int Extent = 0;
    bool VertShown = false;
    bool HorzShown = false;
    // What each bar was last given: a grid that grows a row at a time leaves most of it alone.
    std::optional<Platform::TScrollBarInfo> VertState;
    std::optional<Platform::TScrollBarInfo> HorzState;
};

// Clears a flag when the scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};
