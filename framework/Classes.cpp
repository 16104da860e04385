#include "Classes.h"

#include "FileStreams.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace {

bool IsValidIdent(const AnsiString& Name) {
    const auto Alpha = [](char C) {
        return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
    };
    if (Name.empty() || !Alpha(Name[0]))
        return false;
    return std::all_of(Name.begin(), Name.end(),
                       [&](char C) { return Alpha(C) || (C >= '0' && C <= '9'); });
}

TExceptionHandler& ExceptionHandler() {
    static TExceptionHandler Handler;
    return Handler;
}

} // namespace

void SetExceptionHandler(TExceptionHandler Handler) {
    ExceptionHandler() = std::move(Handler);
}

void ReportException(const std::exception& E) {
    if (ExceptionHandler())
        ExceptionHandler()(E);
    else
        std::cerr << E.what() << '\n';
}

void SafeCall(const std::function<void()>& Handler) {
    try {
        Handler();
    } catch (const std::exception& E) {
        ReportException(E);
    }
}

// ---- TPersistent

void TPersistent::Assign(const TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("nil を "_sj + ClassName() + " に代入できません"_sj);
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    throw EConvertError(ClassName() + " を "_sj + Dest->ClassName() + " に代入できません"_sj);
}

// ---- TComponent

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState.Include(csDestroying);
    while (!FComponents.empty()) {
        TComponent* Child = FComponents.back();
        Child->FComponentState.Include(csDestroying);
        RemoveComponent(Child);
        delete Child;
    }
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::SetName(const AnsiString& Value) {
    if (Value == FName)
        return;
    if (!Value.empty() && !IsValidIdent(Value))
        throw EComponentError("コンポーネント名 \""_sj + Value + "\" は無効です"_sj);
    if (FOwner && !Value.empty()) {
        const TComponent* Other = FOwner->FindComponent(Value);
        if (Other && Other != this)
            throw EComponentError(Value + " という名前のコンポーネントは既に存在します"_sj);
    }
    FName = Value;
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* C : FComponents)
        if (SameText(C->FName, AName))
            return C;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    Notification(AComponent, false);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    const auto It = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (It == FComponents.rend())
        return;
    FComponents.erase(std::next(It).base());
    AComponent->FOwner = nullptr;
    Notification(AComponent, true);
}

void TComponent::Notification(TComponent* AComponent, bool Removing) {
    // Walks backwards by index: a notified component may free others of this owner.
    for (std::size_t I = FComponents.size(); I-- > 0;) {
        if (I >= FComponents.size())
            continue;
        if (FComponents[I] != AComponent)
            FComponents[I]->Notification(AComponent, Removing);
    }
}

void TComponent::SetDesigning(bool Value) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    for (TComponent* C : FComponents)
        C->SetDesigning(Value);
}

void TComponent::BeginLoading() {
    FComponentState.Include(csLoading);
    FComponentState.Include(csReading);
}

void TComponent::EndLoading() {
    FComponentState.Exclude(csReading);
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& /*Proc*/,
                             TComponent* /*Root*/) const {}

const std::any* TComponent::FindMethod(const AnsiString& MethodName) const {
    const auto It = FMethods.find(MethodName);
    return It == FMethods.end() ? nullptr : &It->second;
}

// ---- TStrings

int TStrings::Add(const AnsiString& S) {
    const int Index = Count();
    Insert(Index, S);
    return Index;
}

void TStrings::AddStrings(const TStrings& Strings) {
    BeginUpdate();
    try {
        for (int I = 0; I < Strings.Count(); ++I)
            Add(Strings.Get(I));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(const AnsiString& S) const {
    for (int I = 0; I < Count(); ++I)
        if (Get(I) == S)
            return I;
    return -1;
}

void TStrings::Assign(const TPersistent* Source) {
    const auto* Strings = dynamic_cast<const TStrings*>(Source);
    if (!Strings) {
        TPersistent::Assign(Source);
        return;
    }
    if (Strings == this)
        return;
    BeginUpdate();
    try {
        Clear();
        AddStrings(*Strings);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

AnsiString TStrings::Text() const {
    AnsiString Result;
    for (int I = 0; I < Count(); ++I) {
        Result += Get(I);
        Result += "\r\n";
    }
    return Result;
}

void TStrings::SetText(const AnsiString& Value) {
    BeginUpdate();
    try {
        Clear();
        const std::string_view Text(Value);
        ForEachLine(Text.substr(0, Text.find('\0')),
                    [this](std::string_view Line) { Add(AnsiString(Line)); });
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
    SetText(ReadFileBytes(FileName));
}

// ---- TStringStore

std::vector<AnsiString>& TStringStore::Owned() {
    if (FText) {
        FOwned.assign(FViews.begin(), FViews.end());
        FViews = {};
        FText.reset();
    }
    return FOwned;
}

void TStringStore::Share(TSharedText Text, TStringViews Views) {
    FOwned = {};
    FText = std::move(Text);
    FViews = std::move(Views);
}

const TSharedText& TStringStore::Shared() {
    if (FText)
        return FText;
    TTextBytes Packed;
    std::vector<std::size_t> Ends;
    Ends.reserve(FOwned.size());
    for (const AnsiString& S : FOwned)
        Ends.push_back(Packed.append(S).size());
    auto Text = std::make_shared<const TTextBytes>(std::move(Packed));
    TStringViews Views;
    Views.reserve(Ends.size());
    for (std::size_t I = 0, Start = 0; I < Ends.size(); Start = Ends[I++])
        Views.push_back(std::string_view(*Text).substr(Start, Ends[I] - Start));
    Share(std::move(Text), std::move(Views));
    return FText;
}

void TStringStore::Clear() {
    FOwned = {};
    FText.reset();
    FViews = {};
}

// ---- TStringList

namespace {

void CheckIndex(int Index, int Count) {
    if (Index < 0 || Index >= Count)
        throw EListError("リストのインデックスが範囲を超えています ("_sj + IntToStr(Index) + ")");
}

} // namespace

AnsiString TStringList::Get(int Index) const {
    return AnsiString(View(Index));
}

std::string_view TStringList::View(int Index) const {
    CheckIndex(Index, Count());
    return FItems.View(Index);
}

void TStringList::Put(int Index, const AnsiString& S) {
    CheckIndex(Index, Count());
    FItems.Owned()[Index] = S;
    Changed();
}

void TStringList::Insert(int Index, const AnsiString& S) {
    CheckIndex(Index, Count() + 1);
    std::vector<AnsiString>& Items = FItems.Owned();
    Items.insert(Items.begin() + Index, S);
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index, Count());
    std::vector<AnsiString>& Items = FItems.Owned();
    Items.erase(Items.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (Count() == 0)
        return;
    FItems.Clear();
    Changed();
}

void TStringList::Append(AnsiString&& S) {
    FItems.Owned().push_back(std::move(S));
    Changed();
}

void TStringList::Share(TSharedText Text, TStringViews Views) {
    FItems.Share(std::move(Text), std::move(Views));
    Changed();
}

void TStringList::SetUpdateState(bool Updating) {
    if (!Updating)
        Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

// ---- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* ACollection) : FCollection(ACollection) {
    if (FCollection)
        FCollection->InsertItem(this);
}

TCollectionItem::TCollectionItem(TCollection* ACollection, TDetached) : FCollection(ACollection) {}

TCollectionItem::~TCollectionItem() {
    if (FCollection && FIndex >= 0)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetIndex(int Value) {
    if (!FCollection || FIndex < 0 || Value == FIndex)
        return;
    FCollection->MoveItem(FIndex, Value);
}

AnsiString TCollectionItem::GetDisplayName() const {
    return ClassName();
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection

namespace {

// Runs Body inside the collection's update bracket, closed again when Body raises.
template <class F> void WithinUpdate(TCollection& Collection, F Body) {
    Collection.BeginUpdate();
    try {
        Body();
    } catch (...) {
        Collection.EndUpdate();
        throw;
    }
    Collection.EndUpdate();
}

} // namespace

TCollection::TCollection(TItemFactory Factory) : FFactory(std::move(Factory)) {}

TCollection::~TCollection() {
    for (auto It = FSlots.rbegin(); It != FSlots.rend(); ++It) {
        if (!It->Item)
            continue;
        It->Item->FCollection = nullptr;
        delete It->Item;
    }
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= FCount)
        throw std::out_of_range("TCollection::Items");
    const TSlot* Slot = &FSlots[SlotAt(Index)];
    if (Slot->Item)
        return Slot->Item;
    // Making a record whole changes no item's meaning: the collection is as const as before.
    auto* Self = const_cast<TCollection*>(this);
    constexpr std::size_t MaxSlots = 1024;
    if (FSlots.size() >= MaxSlots) {
        Self->MakeAllWhole();
        return FSlots[std::size_t(Index)].Item;
    }
    Self->FPlaceAt = Index;
    try {
        TCollectionItem* Item = Self->MakeWhole(Slot->Key, Slot->First + (Index - Slot->Start));
        Self->FPlaceAt = -1;
        return Item;
    } catch (...) {
        Self->FPlaceAt = -1;
        throw;
    }
}

void TCollection::MakeAllWhole() {
    std::vector<TSlot> Old;
    Old.swap(FSlots);
    FSlots.reserve(std::size_t(FCount));
    std::size_t Next = 0; // the slot of Old being made whole
    int Done = 0;         // its records made whole so far
    FRebuilding = true;
    try {
        for (; Next < Old.size(); ++Next, Done = 0) {
            const TSlot& Slot = Old[Next];
            if (Slot.Item) {
                FSlots.push_back(Slot);
                continue;
            }
            for (; Done < Slot.Length; ++Done) {
                FPlaceAt = Slot.Start + Done;
                MakeWhole(Slot.Key, Slot.First + Done);
                DropRecords(Slot.Key, Slot.First + Done, 1);
            }
        }
    } catch (...) {
        // What is not whole yet stays as it was.
        FRebuilding = false;
        FPlaceAt = -1;
        TSlot Rest = Old[Next];
        Rest.First += Done;
        Rest.Start += Done;
        Rest.Length -= Done;
        FSlots.push_back(Rest);
        FSlots.insert(FSlots.end(), Old.begin() + std::ptrdiff_t(Next) + 1, Old.end());
        throw;
    }
    FRebuilding = false;
}

void TCollection::ForEachWhole(const std::function<void(TCollectionItem*)>& Visit) const {
    for (const TSlot& Slot : FSlots)
        if (Slot.Item)
            Visit(Slot.Item);
}

void TCollection::Delete(int Index) {
    CheckIndex(Index, Count());
    const std::size_t At = SlotAt(Index);
    if (TCollectionItem* Item = FSlots[At].Item) {
        Notify(Item, cnDeleting);
        delete Item;
        return;
    }
    const std::size_t Slot = SplitAt(Index);
    const TSlot Gone = FSlots[Slot];
    EraseSlot(Slot);
    DropRecords(Gone.Key, Gone.First, 1);
    Changed();
}

void TCollection::Clear() {
    // A notification handler that clears again would free items under this loop.
    if (FSlots.empty() || FClearing)
        return;
    WithinUpdate(*this, [this] {
        FClearing = true;
        try {
            // Items leave from the end, detached first, so that each removal is O(1).
            while (!FSlots.empty()) {
                const TSlot Slot = FSlots.back();
                if (Slot.Item)
                    Notify(Slot.Item, cnDeleting);
                FSlots.pop_back();
                FCount -= Slot.Length;
                if (Slot.Item) {
                    Slot.Item->FCollection = nullptr;
                    delete Slot.Item;
                } else {
                    DropRecords(Slot.Key, Slot.First, Slot.Length);
                }
            }
        } catch (...) {
            FClearing = false;
            throw;
        }
        FClearing = false;
    });
}

void TCollection::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TCollection*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    WithinUpdate(*this, [&] {
        Clear();
        for (int I = 0; I < Other->Count(); ++I)
            Add()->Assign(Other->Items(I));
    });
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Update(TCollectionItem* /*Item*/) {}

void TCollection::Changed() {
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::AddRecords(std::uint32_t Key, int First, int Count) {
    if (Count <= 0)
        return;
    TSlot* Last = FSlots.empty() ? nullptr : &FSlots.back();
    if (Last && !Last->Item && Last->Key == Key && Last->First + Last->Length == First)
        Last->Length += Count;
    else
        FSlots.push_back({nullptr, Key, First, Count, FCount});
    FCount += Count;
    Changed();
}

int TCollection::RecordPosition(std::uint32_t Key, int Record) const {
    for (const TSlot& Slot : FSlots)
        if (!Slot.Item && Slot.Key == Key && Slot.First <= Record &&
            Record < Slot.First + Slot.Length)
            return Slot.Start + (Record - Slot.First);
    return -1;
}

std::size_t TCollection::SlotAt(int Index) const {
    // Without records every slot is one item at its own position.
    if (FSlots.size() == std::size_t(FCount))
        return std::size_t(Index);
    const auto It = std::upper_bound(FSlots.begin(), FSlots.end(), Index,
                                     [](int I, const TSlot& Slot) { return I < Slot.Start; });
    return std::size_t(It - FSlots.begin()) - 1;
}

// Cuts the slot that holds the position so that the position is a slot of its own.
std::size_t TCollection::SplitAt(int Index) {
    std::size_t At = SlotAt(Index);
    TSlot& Slot = FSlots[At];
    if (Slot.Length == 1)
        return At;
    const int Before = Index - Slot.Start;
    const int After = Slot.Length - Before - 1;
    const TSlot Whole = Slot;
    std::vector<TSlot> Pieces;
    if (Before > 0)
        Pieces.push_back({nullptr, Whole.Key, Whole.First, Before, Whole.Start});
    Pieces.push_back({nullptr, Whole.Key, Whole.First + Before, 1, Index});
    if (After > 0)
        Pieces.push_back({nullptr, Whole.Key, Whole.First + Before + 1, After, Index + 1});
    FSlots.erase(FSlots.begin() + std::ptrdiff_t(At));
    FSlots.insert(FSlots.begin() + std::ptrdiff_t(At), Pieces.begin(), Pieces.end());
    return At + (Before > 0 ? 1 : 0);
}

// Removes a slot, joins the records around it when they continue each other, renumbers.
void TCollection::EraseSlot(std::size_t Slot) {
    FCount -= FSlots[Slot].Length;
    FSlots.erase(FSlots.begin() + std::ptrdiff_t(Slot));
    if (Slot > 0 && Slot < FSlots.size()) {
        TSlot& Left = FSlots[Slot - 1];
        const TSlot& Right = FSlots[Slot];
        if (!Left.Item && !Right.Item && Left.Key == Right.Key &&
            Left.First + Left.Length == Right.First) {
            Left.Length += Right.Length;
            FSlots.erase(FSlots.begin() + std::ptrdiff_t(Slot));
        }
    }
    Renumber(Slot > 0 ? Slot - 1 : 0);
}

void TCollection::Renumber(std::size_t FromSlot) {
    int Start = FromSlot == 0 ? 0 : FSlots[FromSlot - 1].Start + FSlots[FromSlot - 1].Length;
    for (std::size_t I = FromSlot; I < FSlots.size(); ++I) {
        FSlots[I].Start = Start;
        if (FSlots[I].Item)
            FSlots[I].Item->FIndex = Start;
        Start += FSlots[I].Length;
    }
    FCount = Start;
}

void TCollection::InsertItem(TCollectionItem* Item) {
    if (FPlaceAt >= 0 && FRebuilding) {
        FSlots.push_back({Item, 0, 0, 1, FPlaceAt});
        Item->FIndex = std::exchange(FPlaceAt, -1);
        return;
    }
    if (FPlaceAt >= 0) {
        // The item takes the place of the record that MakeWhole turns into it.
        const std::size_t Slot = SplitAt(FPlaceAt);
        const TSlot Record = FSlots[Slot];
        FSlots[Slot] = {Item, 0, 0, 1, FPlaceAt};
        Item->FIndex = FPlaceAt;
        FPlaceAt = -1;
        DropRecords(Record.Key, Record.First, 1);
        return;
    }
    Item->FIndex = Count();
    FSlots.push_back({Item, 0, 0, 1, FCount});
    ++FCount;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    EraseSlot(SlotAt(Item->FIndex));
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(int From, int To) {
    CheckIndex(To, Count());
    const std::size_t Slot = SlotAt(From);
    TCollectionItem* Item = FSlots[Slot].Item;
    EraseSlot(Slot);
    if (To == FCount) {
        FSlots.push_back({Item, 0, 0, 1, FCount});
    } else {
        const std::size_t At = SplitAt(To);
        FSlots.insert(FSlots.begin() + std::ptrdiff_t(At), {Item, 0, 0, 1, To});
    }
    Renumber(0);
}
