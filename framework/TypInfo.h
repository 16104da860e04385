// The registry of published properties: for every class that a form file can name, its
// properties with kind, accessors and declared default. A class may hold a property without
// publishing it; a descendant publishes it by naming it. The form reader and writer see only
// published properties, through this registry.
#pragma once

#include "Classes.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

enum class TTypeKind {
    Integer,     // plain integer; may have identifiers (colours, cursors)
    Enumeration, // Boolean included
    Set,
    String,
    Class,      // owned persistent sub-object, written as dotted properties (Font.Name)
    Collection, // owned collection, written as < item ... end >
    Strings,    // owned string list, written as Strings = ( ... )
    Component,  // reference to another component by name
    Method,     // event handler bound by name to a method of the root component
    Binary      // opaque bytes, written as { hex }
};

using TIdentTable = std::vector<std::pair<const char*, std::int64_t>>;

struct TPropInfo {
    AnsiString Name;
    TTypeKind Kind = TTypeKind::Integer;
    const std::vector<const char*>* EnumNames = nullptr; // Enumeration, Set: ordinal = index
    const TIdentTable* Idents = nullptr;                 // Integer: names for values
    std::optional<std::int64_t> Default;                 // declared default of an ordinal
    std::function<bool(const TPersistent*)> Stored;      // extra condition for writing
    bool IntegerList = false; // Strings holding numbers, written unquoted: ColWidths = (10 64)
    bool Published = true;    // false: held for descendants to publish by name
    bool Defined = false;     // streamed by every descendant, after the published properties

    std::function<std::int64_t(const TPersistent*)> GetOrd;
    std::function<void(TPersistent*, std::int64_t)> SetOrd;
    std::function<AnsiString(const TPersistent*)> GetStr;
    std::function<void(TPersistent*, const AnsiString&)> SetStr;
    std::function<TPersistent*(TPersistent*)> GetObj;
    std::function<TComponent*(const TPersistent*)> GetRef;
    std::function<void(TPersistent*, TComponent*)> SetRef;
    std::function<void(TPersistent*, const std::any&)> SetMethod;
    std::function<std::string(const TPersistent*)> GetBin;
    std::function<void(TPersistent*, const std::string&)> SetBin;
};

class TClassInfo {
public:
    TClassInfo(const char* AName, const char* AParentName);
    const char* Name() const { return FName; }
    const TClassInfo* Parent() const;
    // Published properties of this class and its ancestors, ancestors first; a property
    // published again keeps its place, defined properties come last.
    std::vector<const TPropInfo*> AllProps() const;
    // A published or defined property.
    const TPropInfo* FindProp(const AnsiString& PropName) const;
    // A property held or published by this class or an ancestor.
    const TPropInfo* FindDeclared(const AnsiString& PropName) const;
    void Add(TPropInfo Info) { FProps.push_back(std::move(Info)); }
    TPropInfo& LastProp() { return FProps.back(); }
    std::function<TComponent*(TComponent* Owner)> Create; // set for component classes

private:
    const char* FName;
    const char* FParentName;
    std::vector<TPropInfo> FProps;
};

TClassInfo& RegisterClassInfo(const char* Name, const char* ParentName);
const TClassInfo* FindClassInfo(const AnsiString& Name);

// Declares the properties of class C in one table: those it publishes, then, after Held(),
// those it holds for descendants, which publish them by name with Publish:
//   TPublish<TCustomPanel>("TCustomPanel", "TCustomControl")
//       .Held()
//       .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1);
//   TPublish<TPanel>("TPanel", "TCustomPanel")
//       .Creatable()
//       .Publish("Align")
//       .Publish("BevelWidth")
//       .Publish("Color").Default(clBtnFace);
// A class names the declared default of its property Xxx DefaultXxx (a static constexpr
// member), and the starting value of one that has no declared default, and so is always
// stored, InitXxx.
template <class C> class TPublish {
public:
    TPublish(const char* Name, const char* ParentName)
        : FInfo(RegisterClassInfo(Name, ParentName)) {}

    TPublish& Creatable() {
        FInfo.Create = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
        return *this;
    }

    // The properties declared after this are held, not published.
    TPublish& Held() {
        FHeld = true;
        return *this;
    }

    // Publishes a property that an ancestor holds or publishes, under the spelling given.
    TPublish& Publish(const char* Name) {
        const TClassInfo* Parent = FInfo.Parent();
        const TPropInfo* Declared = Parent ? Parent->FindDeclared(Name) : nullptr;
        if (!Declared)
            throw EComponentError("クラス "_sj + FInfo.Name() + " の祖先にプロパティ "_sj + Name +
                                  " がありません"_sj);
        TPropInfo P = *Declared;
        P.Name = Name;
        P.Published = true;
        FInfo.Add(std::move(P));
        return *this;
    }

    // Publishes each of Names in turn, as one Publish call each would.
    TPublish& Publish(std::initializer_list<const char*> Names) {
        for (const char* Name : Names)
            Publish(Name);
        return *this;
    }

    // Declares the default of the property added last again; nullopt: no declared default.
    TPublish& Default(std::optional<std::int64_t> Value) {
        Last().Default = Value;
        return *this;
    }

    // Marks the property added last as streamed by every descendant, after the published ones.
    TPublish& Defined() {
        Last().Published = true;
        Last().Defined = true;
        return *this;
    }

    template <class T, class S>
    TPublish& Int(const char* Name, T (C::*Get)() const, void (C::*Set)(S),
                  std::optional<std::int64_t> Default = std::nullopt,
                  const TIdentTable* Idents = nullptr) {
        TPropInfo P = Ordinal(Name, Get, Set, Default);
        P.Kind = TTypeKind::Integer;
        P.Idents = Idents;
        return Add(std::move(P));
    }

    TPublish& Bool(const char* Name, bool (C::*Get)() const, void (C::*Set)(bool),
                   std::optional<bool> Default = std::nullopt) {
        static const std::vector<const char*> BoolNames{"False", "True"};
        TPropInfo P =
            Ordinal(Name, Get, Set, Default ? std::optional<std::int64_t>(*Default) : std::nullopt);
        P.Kind = TTypeKind::Enumeration;
        P.EnumNames = &BoolNames;
        return Add(std::move(P));
    }

    template <class E, class S>
    TPublish& Enum(const char* Name, E (C::*Get)() const, void (C::*Set)(S),
                   const std::vector<const char*>& Names,
                   std::optional<std::type_identity_t<E>> Default = std::nullopt) {
        TPropInfo P =
            Ordinal(Name, Get, Set,
                    Default ? std::optional<std::int64_t>(static_cast<std::int64_t>(*Default))
                            : std::nullopt);
        P.Kind = TTypeKind::Enumeration;
        P.EnumNames = &Names;
        return Add(std::move(P));
    }

    template <class E, class S>
    TPublish& Set(const char* Name, TSet<E> (C::*Get)() const, void (C::*Setter)(S),
                  const std::vector<const char*>& Names,
                  std::optional<std::type_identity_t<TSet<E>>> Default = std::nullopt) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = TTypeKind::Set;
        P.EnumNames = &Names;
        if (Default)
            P.Default = Default->Bits();
        P.GetOrd = [Get](const TPersistent* O) -> std::int64_t {
            return (static_cast<const C*>(O)->*Get)().Bits();
        };
        P.SetOrd = [Setter](TPersistent* O, std::int64_t V) {
            (static_cast<C*>(O)->*Setter)(TSet<E>::FromBits(static_cast<std::uint32_t>(V)));
        };
        return Add(std::move(P));
    }

    template <class G, class S>
    TPublish& Str(const char* Name, G (C::*Get)() const, void (C::*Set)(S)) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = TTypeKind::String;
        P.GetStr = [Get](const TPersistent* O) -> AnsiString {
            return (static_cast<const C*>(O)->*Get)();
        };
        P.SetStr = [Set](TPersistent* O, const AnsiString& V) { (static_cast<C*>(O)->*Set)(V); };
        return Add(std::move(P));
    }

    // Owned sub-object (Class), collection (Collection) or string list (Strings).
    template <class T> TPublish& Object(const char* Name, TTypeKind Kind, T* (C::*Get)() const) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = Kind;
        P.GetObj = [Get](TPersistent* O) -> TPersistent* { return (static_cast<C*>(O)->*Get)(); };
        return Add(std::move(P));
    }

    template <class T, class S>
    TPublish& Ref(const char* Name, T* (C::*Get)() const, void (C::*Set)(S*)) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = TTypeKind::Component;
        P.GetRef = [Get](const TPersistent* O) -> TComponent* {
            return (static_cast<const C*>(O)->*Get)();
        };
        P.SetRef = [Set](TPersistent* O, TComponent* V) {
            auto* Typed = dynamic_cast<S*>(V);
            if (V && !Typed)
                throw EConvertError("コンポーネントのクラスが正しくありません"_sj);
            (static_cast<C*>(O)->*Set)(Typed);
        };
        return Add(std::move(P));
    }

    template <class F> TPublish& Event(const char* Name, F C::*Member) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = TTypeKind::Method;
        P.SetMethod = [Member](TPersistent* O, const std::any& M) {
            const F* Method = std::any_cast<F>(&M);
            if (!Method)
                throw EConvertError("イベントハンドラの型が正しくありません"_sj);
            static_cast<C*>(O)->*Member = *Method;
        };
        return Add(std::move(P));
    }

    // An event kept behind a setter instead of a public field.
    template <class F> TPublish& Event(const char* Name, void (C::*Set)(const F&)) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = TTypeKind::Method;
        P.SetMethod = [Set](TPersistent* O, const std::any& M) {
            const F* Method = std::any_cast<F>(&M);
            if (!Method)
                throw EConvertError("イベントハンドラの型が正しくありません"_sj);
            (static_cast<C*>(O)->*Set)(*Method);
        };
        return Add(std::move(P));
    }

    TPublish& Binary(const char* Name, std::string (C::*Get)() const,
                     void (C::*Set)(const std::string&)) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = TTypeKind::Binary;
        P.GetBin = [Get](const TPersistent* O) { return (static_cast<const C*>(O)->*Get)(); };
        P.SetBin = [Set](TPersistent* O, const std::string& V) { (static_cast<C*>(O)->*Set)(V); };
        return Add(std::move(P));
    }

    // Marks the Strings property added last as a list of integers.
    TPublish& Integers() {
        Last().IntegerList = true;
        return *this;
    }

    // Extra condition for writing the property added last.
    TPublish& StoredIf(std::function<bool(const C*)> Pred) {
        Last().Stored = [Pred](const TPersistent* O) { return Pred(static_cast<const C*>(O)); };
        return *this;
    }

private:
    template <class T, class S>
    static TPropInfo Ordinal(const char* Name, T (C::*Get)() const, void (C::*Set)(S),
                             std::optional<std::int64_t> Default) {
        TPropInfo P;
        P.Name = Name;
        P.Default = Default;
        P.GetOrd = [Get](const TPersistent* O) -> std::int64_t {
            return static_cast<std::int64_t>((static_cast<const C*>(O)->*Get)());
        };
        P.SetOrd = [Set](TPersistent* O, std::int64_t V) {
            using Arg = std::remove_cvref_t<S>;
            (static_cast<C*>(O)->*Set)(static_cast<Arg>(V));
        };
        return P;
    }
    TPublish& Add(TPropInfo P) {
        P.Published = !FHeld;
        FInfo.Add(std::move(P));
        return *this;
    }
    TPropInfo& Last() { return FInfo.LastProp(); }
    TClassInfo& FInfo;
    bool FHeld = false;
};

// Runs Register on the first call only: each registration of a layer registers the layers
// under it, so a program may ask for one more than once. Each lambda passed is its own once.
template <class F> void RegisterOnce(F Register) {
    static bool Registered = false;
    if (Registered)
        return;
    Registered = true;
    Register();
}

// The classes of Classes (persistent objects, components, collections, string lists) and
// their published properties, for the form files; RegisterFrameworkClasses calls it once.
void RegisterBaseClasses();
