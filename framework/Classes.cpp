#include "Classes.h"

#include "TypInfo.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32
using TStat = struct _stat64;
int NativeOpen(const AnsiString& FileName, int Flags, bool DenyWrite) {
    const std::wstring Name = QString::fromStdString(AnsiToUtf8(FileName)).toStdWString();
    int Handle = -1;
    errno = _wsopen_s(&Handle, Name.c_str(), Flags | _O_BINARY | _O_NOINHERIT,
                      DenyWrite ? _SH_DENYWR : _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return Handle;
}
int NativeStat(int Handle, TStat& Info) {
    return _fstat64(Handle, &Info);
}
long long NativeRead(int Handle, void* Buffer, std::size_t Count) {
    return _read(Handle, Buffer, static_cast<unsigned>(std::min<std::size_t>(Count, 1u << 30)));
}
long long NativeWrite(int Handle, const void* Buffer, std::size_t Count) {
    return _write(Handle, Buffer, static_cast<unsigned>(std::min<std::size_t>(Count, 1u << 30)));
}
int NativeSync(int Handle) {
    return _commit(Handle);
}
int NativeClose(int Handle) {
    return _close(Handle);
}
bool IsRegular(const TStat& Info) {
    return (Info.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsFolder(const TStat& Info) {
    return (Info.st_mode & _S_IFMT) == _S_IFDIR;
}
constexpr int NewFileFlags = _O_WRONLY | _O_CREAT | _O_EXCL;
constexpr int CreateFlags = _O_WRONLY | _O_CREAT | _O_TRUNC;
constexpr int ReadFlags = _O_RDONLY;
constexpr int WriteFlags = _O_WRONLY;
constexpr int ReadWriteFlags = _O_RDWR;
#else
using TStat = struct stat;
// Non-blocking while opening, so that a pipe without a partner cannot stall the program.
int NativeOpen(const AnsiString& FileName, int Flags, bool) {
    const QByteArray Name = QFile::encodeName(QString::fromStdString(AnsiToUtf8(FileName)));
    int Handle;
    do
        Handle = ::open(Name.constData(), Flags | O_CLOEXEC | O_NONBLOCK, 0666);
    while (Handle < 0 && errno == EINTR);
    if (Handle >= 0)
        ::fcntl(Handle, F_SETFL, ::fcntl(Handle, F_GETFL) & ~O_NONBLOCK);
    return Handle;
}
int NativeStat(int Handle, TStat& Info) {
    return ::fstat(Handle, &Info);
}
long long NativeRead(int Handle, void* Buffer, std::size_t Count) {
    ssize_t Got;
    do
        Got = ::read(Handle, Buffer, Count);
    while (Got < 0 && errno == EINTR);
    return Got;
}
long long NativeWrite(int Handle, const void* Buffer, std::size_t Count) {
    ssize_t Put;
    do
        Put = ::write(Handle, Buffer, Count);
    while (Put < 0 && errno == EINTR);
    return Put;
}
int NativeSync(int Handle) {
    return ::fsync(Handle);
}
int NativeClose(int Handle) {
    return ::close(Handle);
}
bool IsRegular(const TStat& Info) {
    return S_ISREG(Info.st_mode);
}
bool IsFolder(const TStat& Info) {
    return S_ISDIR(Info.st_mode);
}
// O_EXCL with O_CREAT never follows a symbolic link planted at the name.
constexpr int NewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
constexpr int CreateFlags = O_WRONLY | O_CREAT | O_TRUNC;
constexpr int ReadFlags = O_RDONLY;
constexpr int WriteFlags = O_WRONLY;
constexpr int ReadWriteFlags = O_RDWR;
#endif

// Runs a platform call unless a test has made it fail; either way errno tells why it failed.
template <class F> auto FileCall(TFileOp Op, F Call) -> decltype(Call()) {
    if (const int Fault = InjectedFileFault(Op)) {
        errno = Fault;
        return -1;
    }
    return Call();
}

// Why a file could not be opened (or created), in the words of this program where it can tell.
AnsiString OpenFailure(const AnsiString& FileName, int Error, bool Create) {
    if (Error == EISDIR || (Error != ENOENT && DirectoryExists(FileName)))
        return "フォルダーです"_sj;
    if (Error == ENOENT)
        return Create ? "フォルダーが見つかりません"_sj : "ファイルが見つかりません"_sj;
    return SysErrorMessage(Error);
}

} // namespace

struct TFileStream::TImpl {
    int Handle = -1;
    bool Writing = false;
};

TFileStream::TFileStream(const AnsiString& FileName, unsigned Mode, const AnsiString& ShownName)
    : FImpl(std::make_unique<TImpl>()), FFileName(ShownName.empty() ? FileName : ShownName) {
    const bool CreateNew = (Mode & fmCreateNew) == fmCreateNew;
    const bool Create = CreateNew || (Mode & fmCreate) == fmCreate;
    const unsigned Access = Mode & 3;
    const int Flags = CreateNew               ? NewFileFlags
                      : Create                ? CreateFlags
                      : Access == fmOpenRead  ? ReadFlags
                      : Access == fmOpenWrite ? WriteFlags
                                              : ReadWriteFlags;
    FImpl->Writing = Create || Access != fmOpenRead;
    const int Handle = FileCall(
        TFileOp::Open, [&] { return NativeOpen(FileName, Flags, (Mode & fmShareDenyWrite) != 0); });
    if (Handle < 0) {
        const AnsiString Reason = OpenFailure(FileName, errno, Create);
        if (Create)
            throw EFOpenError("ファイル \""_sj + FFileName + "\" を作成できません: "_sj + Reason);
        throw EFOpenError("ファイル \""_sj + FFileName + "\" を開けません: "_sj + Reason);
    }
    FImpl->Handle = Handle;
    if (!Create)
        CheckRegularFile();
}

// Only a regular file is read: a folder, a pipe or a device is refused before any read,
// since reading one may never end.
void TFileStream::CheckRegularFile() {
    TStat Info{};
    if (NativeStat(FImpl->Handle, Info) == 0 && IsRegular(Info))
        return;
    const AnsiString Reason =
        IsFolder(Info) ? "フォルダーです"_sj : "通常のファイルではありません"_sj;
    NativeClose(FImpl->Handle);
    FImpl->Handle = -1;
    throw EFOpenError("ファイル \""_sj + FFileName + "\" を開けません: "_sj + Reason);
}

TFileStream::TFileStream(int Handle, const AnsiString& ShownName)
    : FImpl(std::make_unique<TImpl>()), FFileName(ShownName) {
    FImpl->Handle = Handle;
    FImpl->Writing = true;
}

TFileStream::~TFileStream() {
    if (FImpl->Handle >= 0)
        NativeClose(FImpl->Handle);
}

std::int64_t TFileStream::Size() const {
    TStat Info{};
    return NativeStat(FImpl->Handle, Info) == 0 ? static_cast<std::int64_t>(Info.st_size) : 0;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
    const long long Got =
        FileCall(TFileOp::Read, [&] { return NativeRead(FImpl->Handle, Buffer, Count); });
    if (Got < 0)
        throw EReadError("ファイル \""_sj + FFileName + "\" を読み込めません: "_sj +
                         SysErrorMessage(errno));
    return static_cast<std::size_t>(Got);
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
    const auto* Bytes = static_cast<const char*>(Buffer);
    while (Count > 0) {
        const long long Put =
            FileCall(TFileOp::Write, [&] { return NativeWrite(FImpl->Handle, Bytes, Count); });
        if (Put <= 0)
            RaiseWriteError(Put < 0 ? errno : ENOSPC);
        Bytes += Put;
        Count -= static_cast<std::size_t>(Put);
    }
}

void TFileStream::FlushBuffers() {
    if (FileCall(TFileOp::Sync, [&] { return NativeSync(FImpl->Handle); }) != 0)
        RaiseWriteError(errno);
}

void TFileStream::Close() {
    const int Handle = FImpl->Handle;
    if (Handle < 0)
        return;
    FImpl->Handle = -1;
    // The handle is released even when the call reports an error, so it is never closed twice.
    if (FileCall(TFileOp::Close, [&] { return NativeClose(Handle); }) != 0 && FImpl->Writing)
        RaiseWriteError(errno);
}

void TFileStream::RaiseWriteError(int Error) const {
    throw EWriteError("ファイル \""_sj + FFileName + "\" に書き込めません: "_sj +
                      SysErrorMessage(Error));
}

// ---- TSafeFileStream

namespace {

constexpr int MaxTempAttempts = 100;

AnsiString TempName(const AnsiString& FileName) {
    char Suffix[24];
    std::snprintf(Suffix, sizeof Suffix, ".%08x.part", QRandomGenerator::global()->generate());
    return FileName + Suffix;
}

} // namespace

TSafeFileStream::TSafeFileStream(const AnsiString& FileName) : FFileName(FileName) {
    for (int Attempt = 1;; ++Attempt) {
        FTempName = TempName(FileName);
        const int Handle =
            FileCall(TFileOp::Open, [&] { return NativeOpen(FTempName, NewFileFlags, false); });
        if (Handle >= 0) {
            FStream.reset(new TFileStream(Handle, FileName));
            return;
        }
        if (errno != EEXIST || Attempt == MaxTempAttempts)
            throw EFOpenError("ファイル \""_sj + FileName + "\" を作成できません: "_sj +
                              OpenFailure(FTempName, errno, true));
    }
}

TSafeFileStream::~TSafeFileStream() {
    if (FCommitted)
        return;
    FStream.reset();
    DeleteFile(FTempName);
}

void TSafeFileStream::Commit() {
    FStream->FlushBuffers();
    FStream->Close();
    if (!RenameFile(FTempName, FFileName))
        FStream->RaiseWriteError(errno);
    FCommitted = true;
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
