// Objects, components, string lists and collections: the plain C++ base of the layer.
#pragma once

#include "SysUtils.h"

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int Left, int Top, int Right, int Bottom) {
    return {Left, Top, Right, Bottom};
}
inline TRect Bounds(int Left, int Top, int Width, int Height) {
    return {Left, Top, Left + Width, Top + Height};
}

// A set of enumeration values whose ordinals lie in 0..31, as the platform's sets.
template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Items) {
        for (E Item : Items)
            FBits |= Bit(Item);
    }
    static constexpr TSet FromBits(std::uint32_t Bits) {
        TSet S;
        S.FBits = Bits;
        return S;
    }
    constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
    constexpr TSet& Include(E Item) { return FBits |= Bit(Item), *this; }
    constexpr TSet& Exclude(E Item) { return FBits &= ~Bit(Item), *this; }
    constexpr TSet operator+(TSet Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TSet operator-(TSet Other) const { return FromBits(FBits & ~Other.FBits); }
    constexpr TSet operator*(TSet Other) const { return FromBits(FBits & Other.FBits); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint32_t Bits() const { return FBits; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint32_t Bit(E Item) { return 1u << static_cast<unsigned>(Item); }
    std::uint32_t FBits = 0;
};

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TObject {
public:
    virtual ~TObject() = default;
    virtual const char* ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    const char* ClassName() const override { return "TPersistent"; }
    // Copies Source into this object; falls back to Source->AssignTo, then raises EConvertError.
    virtual void Assign(const TPersistent* Source);
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* Dest) const;
};

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    const char* ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    const AnsiString& Name() const { return FName; }
    virtual void SetName(const AnsiString& Value);
    static constexpr int DefaultTag = 0;
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(Index); }
    TComponent* FindComponent(const AnsiString& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool Value);
    // The form reader brackets property reading with these; Loaded runs after EndLoading.
    void BeginLoading();
    void EndLoading();
    virtual void Loaded();

    // Form files nest a control under its parent: the reader sets the parent through this,
    // the writer asks each component for the children to nest under it.
    virtual void SetParentComponent(TComponent* /*Value*/) {}
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const;

    TPersistent* GetOwner() const override { return FOwner; }

    // Published methods of a root component (a form): handler name to a typed callable
    // (std::function of the event's type), found by the form reader to bind event properties.
    template <class F> void PublishMethod(const AnsiString& MethodName, F Method) {
        FMethods[MethodName] = std::any(Method);
    }
    const std::any* FindMethod(const AnsiString& MethodName) const;
    // Names of handlers bound by the form reader, per event property, for the writer.
    std::map<AnsiString, AnsiString>& EventNames() { return FEventNames; }
    const std::map<AnsiString, AnsiString>& EventNames() const { return FEventNames; }

protected:
    virtual void Notification(TComponent* AComponent, bool Removing);
    void SetDestroying() { FComponentState.Include(csDestroying); }

private:
    TComponent* FOwner = nullptr;
    AnsiString FName;
    int FTag = DefaultTag;
    std::vector<TComponent*> FComponents;
    TComponentState FComponentState;
    std::map<AnsiString, std::any> FMethods;
    std::map<AnsiString, AnsiString> FEventNames;
};

// The component of that name owned by Owner, of class T; EComponentError when there is none.
template <class T> T* ComponentByName(const TComponent* Owner, const AnsiString& Name) {
    T* Found = dynamic_cast<T*>(Owner->FindComponent(Name));
    if (!Found)
        throw EComponentError("コンポーネント "_sj + Name + " が見つかりません"_sj);
    return Found;
}

// An ordered list of byte strings. Descendants store the strings; this class gives the
// operations that work on any store.
class TStrings : public TPersistent {
public:
    const char* ClassName() const override { return "TStrings"; }
    virtual int Count() const = 0;
    virtual AnsiString Get(int Index) const = 0;
    virtual void Put(int Index, const AnsiString& S) = 0;
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    AnsiString operator[](int Index) const { return Get(Index); }
    int Add(const AnsiString& S);
    void AddStrings(const TStrings& Strings);
    // The first line equal to S byte for byte, or -1.
    int IndexOf(const AnsiString& S) const;
    void Assign(const TPersistent* Source) override;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Lines joined by CR LF, each line followed by one.
    AnsiString Text() const;
    // Splits at CR, LF, CR LF; the scan stops at the first NUL byte.
    void SetText(const AnsiString& Value);
    // The list is replaced only after the whole file was read. Other writers are not locked out
    // where the platform has no sharing modes.
    void LoadFromFile(const AnsiString& FileName);

protected:
    virtual void SetUpdateState(bool /*Updating*/) {}

private:
    int FUpdateCount = 0;
};

// A text that string lists hold views into (a loaded file), kept alive by the lists that do.
using TSharedText = std::shared_ptr<const TTextBytes>;
using TStringViews = std::vector<std::string_view, TLargeAllocator<std::string_view>>;

// The texts of a list: strings of its own, or views into a shared text, so that a list of a
// million lines costs no string per line. Views become strings of the list's own only when the
// list is changed item by item.
class TStringStore {
public:
    int Count() const { return static_cast<int>(FText ? FViews.size() : FOwned.size()); }
    std::string_view View(int Index) const {
        return FText ? FViews[Index] : std::string_view(FOwned[Index]);
    }
    // The strings for changes, made the list's own first.
    std::vector<AnsiString>& Owned();
    void Share(TSharedText Text, TStringViews Views);
    // The shared text the items are views into; strings of the list's own are packed into one
    // first.
    const TSharedText& Shared();
    void Clear();

private:
    std::vector<AnsiString> FOwned;
    TSharedText FText;
    TStringViews FViews;
};

class TStringList : public TStrings {
public:
    const char* ClassName() const override { return "TStringList"; }
    int Count() const override { return FItems.Count(); }
    AnsiString Get(int Index) const override;
    std::string_view View(int Index) const;
    void Put(int Index, const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Append(AnsiString&& S);
    // Replaces the items by views into Text.
    void Share(TSharedText Text, TStringViews Views);
    // The text the items are views into, for other lists to share.
    const TSharedText& SharedText() { return FItems.Shared(); }

    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool Updating) override;
    void Changed();

private:
    TStringStore FItems;
};

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    // An item that speaks for the collection without being one of its items (Index -1).
    struct TDetached {};
    TCollectionItem(TCollection* ACollection, TDetached);
    const char* ClassName() const override { return "TCollectionItem"; }

    TCollection* Collection() const { return FCollection; }
    int Index() const { return FIndex; }
    void SetIndex(int Value);
    virtual AnsiString GetDisplayName() const;
    TPersistent* GetOwner() const override;

protected:
    // Reports a change of this item (or of all items) to the collection's Update.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection;
    int FIndex = -1;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
public:
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(TItemFactory Factory);
    ~TCollection() override;
    const char* ClassName() const override { return "TCollection"; }

    int Count() const { return FCount; }
    // An item kept in compact form is made whole here, the first time it is asked for.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* Add() { return FFactory(this); }
    void Delete(int Index);
    void Clear();
    void Assign(const TPersistent* Source) override;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    virtual void Update(TCollectionItem* Item);
    // cnAdded comes from the base item constructor, before a derived item is constructed;
    // cnDeleting from Delete and Clear while the item is whole. Deleting an item directly
    // only reaches Update.
    virtual void Notify(TCollectionItem* /*Item*/, TCollectionNotification /*Action*/) {}
    void Changed();

    // Compact items: a derived collection may append items that exist only as records of its
    // own, numbered within a key. They count and keep their positions as items do; Items makes
    // one whole through MakeWhole (which creates the item, placed where the record was), and
    // Delete, Clear and the destructor drop records through DropRecords.
    void AddRecords(std::uint32_t Key, int First, int Count);
    // The position of a record that is still compact, or -1.
    int RecordPosition(std::uint32_t Key, int Record) const;
    // The items that are whole, in order; records are left as they are.
    void ForEachWhole(const std::function<void(TCollectionItem*)>& Visit) const;
    virtual TCollectionItem* MakeWhole(std::uint32_t /*Key*/, int /*Record*/) { return nullptr; }
    virtual void DropRecords(std::uint32_t /*Key*/, int /*First*/, int /*Count*/) {}

private:
    friend class TCollectionItem;
    // A run of positions: one whole item, or records First.. of a key.
    struct TSlot {
        TCollectionItem* Item;
        std::uint32_t Key;
        int First;
        int Length;
        int Start; // position of the slot's first item
    };
    // Makes every record whole at once, when records have been asked for at so many places
    // that the slots would cost more than the items.
    void MakeAllWhole();
    std::size_t SlotAt(int Index) const;
    std::size_t SplitAt(int Index);
    void EraseSlot(std::size_t Slot);
    void Renumber(std::size_t FromSlot);
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(int From, int To);
    TItemFactory FFactory;
    std::vector<TSlot> FSlots;
    int FCount = 0;
    int FPlaceAt = -1;        // where MakeWhole's item goes
    bool FRebuilding = false; // MakeAllWhole appends each item to the slots
    int FUpdateCount = 0;
    bool FClearing = false;
};

// Where an exception that escapes a user handler goes: the application installs its error
// report here; until then it is written to the standard error stream.
using TExceptionHandler = std::function<void(const std::exception& E)>;
void SetExceptionHandler(TExceptionHandler Handler);

// Hands an exception to the installed handler.
void ReportException(const std::exception& E);
// Runs a handler of the user's; an exception goes to the installed handler.
void SafeCall(const std::function<void()>& Handler);
