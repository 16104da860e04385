#include "Classes.h"

#include "TypInfo.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>

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

} // namespace

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
        const std::size_t End = std::min(Value.find('\0'), Value.size());
        std::size_t Pos = 0;
        while (Pos < End) {
            std::size_t Break = Pos;
            while (Break < End && Value[Break] != '\r' && Value[Break] != '\n')
                ++Break;
            Add(Value.substr(Pos, Break - Pos));
            Pos = Break;
            if (Pos < End && Value[Pos] == '\r')
                ++Pos;
            if (Pos < End && Value[Pos] == '\n')
                ++Pos;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
    SetText(ReadFileBytes(FileName));
}

// ---- TStringList

namespace {

void CheckIndex(int Index, int Count) {
    if (Index < 0 || Index >= Count)
        throw EListError("リストのインデックスが範囲を超えています ("_sj + IntToStr(Index) + ")");
}

} // namespace

AnsiString TStringList::Get(int Index) const {
    CheckIndex(Index, Count());
    return FItems[Index];
}

void TStringList::Put(int Index, const AnsiString& S) {
    CheckIndex(Index, Count());
    FItems[Index] = S;
    Changed();
}

void TStringList::Insert(int Index, const AnsiString& S) {
    CheckIndex(Index, Count() + 1);
    FItems.insert(FItems.begin() + Index, S);
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index, Count());
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

void TStringList::Append(AnsiString&& S) {
    FItems.push_back(std::move(S));
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

TCollectionItem::~TCollectionItem() {
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetIndex(int Value) {
    if (!FCollection || Value == FIndex)
        return;
    FCollection->MoveItem(FIndex, Value);
    Changed(true);
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
    for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) {
        (*It)->FCollection = nullptr;
        delete *It;
    }
}

void TCollection::Delete(int Index) {
    CheckIndex(Index, Count());
    TCollectionItem* Item = FItems[Index];
    Notify(Item, cnDeleting);
    delete Item;
}

void TCollection::Clear() {
    // A notification handler that clears again would free items under this loop.
    if (FItems.empty() || FClearing)
        return;
    WithinUpdate(*this, [this] {
        FClearing = true;
        try {
            // Items leave from the end, detached first, so that each removal is O(1).
            while (!FItems.empty()) {
                TCollectionItem* Item = FItems.back();
                Notify(Item, cnDeleting);
                FItems.pop_back();
                Item->FCollection = nullptr;
                delete Item;
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
        for (const TCollectionItem* Item : Other->FItems)
            Add()->Assign(Item);
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

void TCollection::InsertItem(TCollectionItem* Item) {
    Item->FIndex = Count();
    FItems.push_back(Item);
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    const int Index = Item->FIndex;
    FItems.erase(FItems.begin() + Index);
    Item->FCollection = nullptr;
    Renumber(Index);
    Changed();
}

void TCollection::MoveItem(int From, int To) {
    CheckIndex(To, Count());
    TCollectionItem* Item = FItems[From];
    FItems.erase(FItems.begin() + From);
    FItems.insert(FItems.begin() + To, Item);
    Renumber(std::min(From, To));
}

void TCollection::Renumber(int From) {
    for (int I = From; I < Count(); ++I)
        FItems[I]->FIndex = I;
}

// ---- TFileStream

namespace {

QString FileNameToQ(const AnsiString& FileName) {
    return QString::fromStdString(AnsiToUtf8(FileName));
}

AnsiString QToAnsi(const QString& Text) {
    AnsiString Out;
    Utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(Text.utf16()),
                                    static_cast<std::size_t>(Text.size())),
                Out);
    return Out;
}

// Why a file could not be opened (or created), in the words of this program where it can tell.
AnsiString OpenFailure(const QFile& File, bool Create) {
    const QFileInfo Info(File.fileName());
    if (Info.isDir())
        return "フォルダーです"_sj;
    if (Create && !Info.dir().exists())
        return "フォルダーが見つかりません"_sj;
    if (!Create && !Info.exists())
        return "ファイルが見つかりません"_sj;
    return QToAnsi(File.errorString());
}

} // namespace

struct TFileStream::TImpl {
    QFile File;
};

TFileStream::TFileStream(const AnsiString& FileName, unsigned Mode)
    : FImpl(std::make_unique<TImpl>()), FFileName(FileName) {
    QFile& File = FImpl->File;
    File.setFileName(FileNameToQ(FileName));
    const bool Create = (Mode & fmCreate) == fmCreate;
    QIODevice::OpenMode Open = QIODevice::ReadOnly;
    if (Create)
        Open = QIODevice::WriteOnly | QIODevice::Truncate;
    else if ((Mode & 3) == fmOpenWrite)
        Open = QIODevice::WriteOnly;
    else if ((Mode & 3) == 2)
        Open = QIODevice::ReadWrite;
    // Opening a folder for reading succeeds on some platforms; it is never a file stream.
    if (QFileInfo(File.fileName()).isDir() || !File.open(Open)) {
        const AnsiString Reason = OpenFailure(File, Create);
        if (Create)
            throw EFOpenError("ファイル \""_sj + FileName + "\" を作成できません: "_sj + Reason);
        throw EFOpenError("ファイル \""_sj + FileName + "\" を開けません: "_sj + Reason);
    }
}

TFileStream::~TFileStream() = default;

std::int64_t TFileStream::Size() const {
    return FImpl->File.size();
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
    const qint64 Got = FImpl->File.read(static_cast<char*>(Buffer), static_cast<qint64>(Count));
    if (Got < 0)
        throw EReadError("ファイル \""_sj + FFileName + "\" を読み込めません: "_sj +
                         QToAnsi(FImpl->File.errorString()));
    return static_cast<std::size_t>(Got);
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
    const qint64 Put =
        FImpl->File.write(static_cast<const char*>(Buffer), static_cast<qint64>(Count));
    if (Put != static_cast<qint64>(Count))
        throw EWriteError("ファイル \""_sj + FFileName + "\" に書き込めません: "_sj +
                          QToAnsi(FImpl->File.errorString()));
}

void TFileStream::Close() {
    QFile& File = FImpl->File;
    if (!File.isOpen())
        return;
    const bool Flushed = File.flush();
    const QString Error = File.errorString();
    File.close();
    if (!Flushed)
        throw EWriteError("ファイル \""_sj + FFileName + "\" に書き込めません: "_sj +
                          QToAnsi(Error));
}

// ---- Published properties of the base classes

namespace {

[[maybe_unused]] const bool Registered = [] {
    TPublish<TPersistent>("TPersistent", nullptr);
    TPublish<TComponent>("TComponent", "TPersistent")
        .Int("Tag", &TComponent::Tag, &TComponent::SetTag, TComponent::DefaultTag);
    TPublish<TCollectionItem>("TCollectionItem", "TPersistent");
    TPublish<TCollection>("TCollection", "TPersistent");
    TPublish<TStrings>("TStrings", "TPersistent");
    TPublish<TStringList>("TStringList", "TStrings");
    return true;
}();

} // namespace
