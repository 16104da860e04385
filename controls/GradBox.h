// The gradient box: a windowless control filled with a stepped gradient between two colours,
// in bands stacked from top to bottom or side by side from left to right.
#pragma once

#include "Controls.h"

#include <cstdint>
#include <vector>

enum TGradDirection { gdHorizontal, gdVertical };
const std::vector<const char*>& GradDirectionNames();

class TGradBox : public TGraphicControl {
public:
    explicit TGradBox(TComponent* AOwner);
    const char* ClassName() const override { return "TGradBox"; }

    static constexpr int InitSize = 128;
    static constexpr TColor InitStartColor = clWhite;
    static constexpr TColor InitEndColor = clBlack;
    static constexpr std::uint8_t InitGradStep = 128;
    static constexpr TGradDirection InitDirection = gdVertical;
    // Indices of the two colour properties, which share one setter.
    static constexpr int StartColorIndex = 1;
    static constexpr int EndColorIndex = 2;

    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value) { SetGradColor(StartColorIndex, Value); }
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value) { SetGradColor(EndColorIndex, Value); }
    void SetGradColor(int Index, TColor Value);
    // The gradient has GradStep + 1 divisions and GradStep + 2 bands.
    std::uint8_t GradStep() const { return FGradStep; }
    void SetGradStep(std::uint8_t Value);
    TGradDirection Direction() const { return FDirection; }
    void SetDirection(TGradDirection Value);

    TNotifyEvent OnChange;

protected:
    void Paint() override;

private:
    void Changed();
    TColor FStartColor = InitStartColor;
    TColor FEndColor = InitEndColor;
    std::uint8_t FGradStep = InitGradStep;
    TGradDirection FDirection = InitDirection;
};

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterGradBox();
