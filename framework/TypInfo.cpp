#include "TypInfo.h"

#include <algorithm>
#include <map>

namespace {

// Filled by static initialisers of every unit, so it must exist before the first of them runs.
std::map<std::string, std::unique_ptr<TClassInfo>>& Registry() {
    static std::map<std::string, std::unique_ptr<TClassInfo>> Classes;
    return Classes;
}

} // namespace

TClassInfo::TClassInfo(const char* AName, const char* AParentName)
    : FName(AName), FParentName(AParentName) {}

const TClassInfo* TClassInfo::Parent() const {
    return FParentName ? FindClassInfo(FParentName) : nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TClassInfo*> Chain;
    for (const TClassInfo* C = this; C; C = C->Parent())
        Chain.push_back(C);
    std::vector<const TPropInfo*> Props;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It) {
        for (const TPropInfo& P : (*It)->FProps) {
            if (!P.Published)
                continue;
            const auto Same = std::find_if(Props.begin(), Props.end(), [&](const TPropInfo* Q) {
                return SameText(Q->Name, P.Name);
            });
            if (Same != Props.end())
                *Same = &P;
            else
                Props.push_back(&P);
        }
    }
    std::stable_partition(Props.begin(), Props.end(),
                          [](const TPropInfo* P) { return !P->Defined; });
    return Props;
}

const TPropInfo* TClassInfo::FindProp(const AnsiString& PropName) const {
    for (const TClassInfo* C = this; C; C = C->Parent())
        for (const TPropInfo& P : C->FProps)
            if (P.Published && SameText(P.Name, PropName))
                return &P;
    return nullptr;
}

const TPropInfo* TClassInfo::FindDeclared(const AnsiString& PropName) const {
    for (const TClassInfo* C = this; C; C = C->Parent())
        for (const TPropInfo& P : C->FProps)
            if (SameText(P.Name, PropName))
                return &P;
    return nullptr;
}

TClassInfo& RegisterClassInfo(const char* Name, const char* ParentName) {
    auto& Slot = Registry()[Name];
    if (!Slot)
        Slot = std::make_unique<TClassInfo>(Name, ParentName);
    return *Slot;
}

const TClassInfo* FindClassInfo(const AnsiString& Name) {
    const auto& Classes = Registry();
    const auto It = Classes.find(Name);
    return It == Classes.end() ? nullptr : It->second.get();
}

// ---- Published properties of the base classes

void RegisterBaseClasses() {
    TPublish<TPersistent>("TPersistent", nullptr);
    TPublish<TComponent>("TComponent", "TPersistent")
        .Int("Tag", &TComponent::Tag, &TComponent::SetTag, TComponent::DefaultTag);
    TPublish<TCollectionItem>("TCollectionItem", "TPersistent");
    TPublish<TCollection>("TCollection", "TPersistent");
    TPublish<TStrings>("TStrings", "TPersistent");
    TPublish<TStringList>("TStringList", "TStrings");
}
