// The plain core of the platform layer on large inputs: clearing a collection of 1.4 million
// items, splitting a real 12 MB file into lines (as a string list and through the wizards'
// loader), text conversion, and reading and writing a form with a collection of 20,000 items.
// Prints wall times.
//
//   core_bench
#include "Classes.h"
#include "FileStreams.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "SourceLines.h"
#include "TypInfo.h"

#include "Stopwatch.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr int CollectionItems = 1400000;
constexpr int FormItems = 20000;
constexpr int ConversionCalls = 100000;

class TBenchItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const char* ClassName() const override { return "TBenchItem"; }
    AnsiString Caption() const { return FCaption; }
    void SetCaption(const AnsiString& V) { FCaption = V; }
    int Col() const { return FCol; }
    void SetCol(int V) { FCol = V; }

private:
    AnsiString FCaption;
    int FCol = 0;
};

class TBenchForm : public TComponent {
public:
    TBenchForm() : TComponent(nullptr) {}
    const char* ClassName() const override { return "TBenchForm"; }
    TCollection* Items() const { return FItems.get(); }

private:
    std::unique_ptr<TCollection> FItems =
        std::make_unique<TCollection>([](TCollection* C) { return new TBenchItem(C); });
};

[[maybe_unused]] const bool Registered = [] {
    TPublish<TBenchItem>("TBenchItem", "TCollectionItem")
        .Str("Caption", &TBenchItem::Caption, &TBenchItem::SetCaption)
        .Int("Col", &TBenchItem::Col, &TBenchItem::SetCol);
    TPublish<TBenchForm>("TBenchForm", "TComponent")
        .Object("Items", TTypeKind::Collection, &TBenchForm::Items);
    return true;
}();

template <class F> void Measure(const char* What, F Step) {
    const TStopwatch Timer;
    Step();
    std::printf("%-40s %8.1f ms\n", What, Timer.Ms());
}

} // namespace

int main() {
    TCollection Items([](TCollection* C) { return new TCollectionItem(C); });
    Measure("add 1.4 million collection items", [&] {
        Items.BeginUpdate();
        for (int I = 0; I < CollectionItems; ++I)
            Items.Add();
        Items.EndUpdate();
    });
    Measure("clear them", [&] { Items.Clear(); });

    if (!std::filesystem::is_regular_file(QUOVANT_TESTDATA "/csv/KEN_ALL.CSV")) {
        std::printf("shared test data missing: " QUOVANT_TESTDATA "\n");
        return 1;
    }
    TStringList Lines;
    Measure("LoadFromFile KEN_ALL.CSV (12 MB)",
            [&] { Lines.LoadFromFile(QUOVANT_TESTDATA "/csv/KEN_ALL.CSV"); });
    // The wizards' loader, which also decides whether a file without a mark is UTF-8.
    TStringList Source;
    Measure("LoadSourceLines KEN_ALL.CSV (Shift-JIS)",
            [&] { LoadSourceLines(&Source, QUOVANT_TESTDATA "/csv/KEN_ALL.CSV"); });
    const std::string Bytes = ReadFileBytes(QUOVANT_TESTDATA "/csv/KEN_ALL.CSV");
    bool Valid = false;
    Measure("  of which: is it Shift-JIS text?", [&] { Valid = IsValidAnsi(Bytes); });
    Measure("LoadSourceLines mhlw_price (UTF-8, 2 MB)",
            [&] { LoadSourceLines(&Source, QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv"); });

    std::size_t Total = 0;
    Measure("AnsiToUtf8 of 100,000 lines", [&] {
        for (int I = 0; I < ConversionCalls; ++I)
            Total += AnsiToUtf8(Lines[I]).size();
    });

    TBenchForm Form;
    for (int I = 0; I < FormItems; ++I) {
        auto* Item = static_cast<TBenchItem*>(Form.Items()->Add());
        Item->SetCaption(Lines[I]);
        Item->SetCol(I);
    }
    std::string Text;
    Measure("write a form of 20,000 items", [&] { Text = WriteComponentText(&Form); });
    TBenchForm Again;
    Measure("read it back", [&] { ReadComponentText(&Again, Text); });
    std::printf("(%zu bytes converted, %d items read, Shift-JIS %d)\n", Total,
                Again.Items()->Count(), Valid);
}
