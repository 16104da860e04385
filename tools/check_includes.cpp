// Build check: the files of framework/, controls/ and wizards/ include only what the declared
// order of units (framework/Units.txt) lets them, so that the layers stay free of circles; the
// toolkit and the system's own headers stay inside the back ends' folders (framework/qt/,
// framework/win32/), which nothing else includes, and no other file even names a Qt type.
//
//   check_includes ORDER ROOT FILE...   prints every offending include and exits with 1 if there
//                                       is one; FILE paths lie under ROOT
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const InternalFolder = "framework/internal/";
const char* const LayerFolder = "framework/";
const char* const BackEndFolders[] = {"framework/qt/", "framework/win32/"};
// Headers of a platform rather than of the language: only a back end includes them.
const char* const PlatformHeaders[] = {"windows.h", "commctrl.h", "commdlg.h", "shellapi.h",
                                       "shlobj.h", "unistd.h", "fcntl.h", "dirent.h",
                                       "signal.h", "pthread.h"};
const char* const PlatformHeaderFolders[] = {"sys/", "X11/"};

struct TUnit {
    std::string Name; // the unit's first file, naming it in messages
    int Level = 0;
};

// File stem (the name a quoted include uses, without ".h") to its unit and path.
struct TEntry {
    const TUnit* Unit = nullptr;
    std::string Path;
};

bool StartsWith(const std::string& Text, const std::string& Prefix) {
    return Text.compare(0, Prefix.size(), Prefix) == 0;
}

class TOrder {
public:
    bool Read(const std::string& FileName) {
        std::ifstream In(FileName);
        if (!In) {
            std::fprintf(stderr, "%s: cannot be read\n", FileName.c_str());
            return false;
        }
        std::string Line;
        int Level = 0;
        bool Good = true;
        while (std::getline(In, Line)) {
            if (Line.empty() || Line[0] == '#')
                continue;
            ++Level;
            std::istringstream Words(Line);
            std::string Word;
            while (Words >> Word)
                Good = AddUnit(Word, Level, FileName) && Good;
        }
        return Good;
    }

    const TEntry* Find(const std::string& Stem) const {
        const auto It = FEntries.find(Stem);
        return It == FEntries.end() ? nullptr : &It->second;
    }

private:
    bool AddUnit(const std::string& Word, int Level, const std::string& FileName) {
        FUnits.push_back(std::make_unique<TUnit>());
        TUnit* Unit = FUnits.back().get();
        Unit->Level = Level;
        std::istringstream Parts(Word);
        std::string Path;
        bool Good = true;
        while (std::getline(Parts, Path, '+')) {
            if (Unit->Name.empty())
                Unit->Name = Path;
            const std::string Stem = fs::path(Path).filename().string();
            if (!FEntries.emplace(Stem, TEntry{Unit, Path}).second) {
                std::fprintf(stderr, "%s: %s is listed twice\n", FileName.c_str(), Stem.c_str());
                Good = false;
            }
        }
        return Good;
    }

    std::vector<std::unique_ptr<TUnit>> FUnits;
    std::map<std::string, TEntry> FEntries;
};

bool IsQtHeader(const std::string& Name) {
    return Name.size() > 1 && Name[0] == 'Q' && std::isupper(static_cast<unsigned char>(Name[1]));
}

bool IsPlatformHeader(const std::string& Name) {
    for (const char* Header : PlatformHeaders)
        if (Name == Header)
            return true;
    for (const char* Folder : PlatformHeaderFolders)
        if (StartsWith(Name, Folder))
            return true;
    return IsQtHeader(Name);
}

// The back end's folder a file lies in; empty for a portable file.
std::string BackEndOf(const std::string& Path) {
    for (const char* Folder : BackEndFolders)
        if (StartsWith(Path, Folder))
            return Folder;
    return {};
}

bool IsIdentifierChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
}

// The line without its comments and the contents of its string and character literals;
// InComment carries a block comment over from one line to the next.
std::string CodeOf(const std::string& Line, bool& InComment) {
    std::string Code;
    for (std::size_t I = 0; I < Line.size(); ++I) {
        if (InComment) {
            if (Line.compare(I, 2, "*/") == 0) {
                InComment = false;
                ++I;
            }
        } else if (Line.compare(I, 2, "//") == 0) {
            break;
        } else if (Line.compare(I, 2, "/*") == 0) {
            InComment = true;
            ++I;
        } else if (Line[I] == '"' || Line[I] == '\'') {
            const char Quote = Line[I];
            Code += Quote;
            for (++I; I < Line.size() && Line[I] != Quote; ++I)
                I += Line[I] == '\\' ? 1 : 0;
            Code += Quote;
        } else {
            Code += Line[I];
        }
    }
    return Code;
}

// The first Qt name in a line of code: an identifier of Q and a capital, or the Qt namespace.
std::string QtName(const std::string& Code) {
    for (std::size_t I = 0; I < Code.size(); ++I) {
        if (!IsIdentifierChar(Code[I]) || (I > 0 && IsIdentifierChar(Code[I - 1])))
            continue;
        std::size_t End = I;
        while (End < Code.size() && IsIdentifierChar(Code[End]))
            ++End;
        const std::string Name = Code.substr(I, End - I);
        if (Name == "Qt" && Code.compare(End, 2, "::") == 0)
            return "Qt::";
        if (IsQtHeader(Name))
            return Name;
        I = End;
    }
    return {};
}

class TChecker {
public:
    TChecker(const TOrder& AOrder, fs::path ARoot) : Order(AOrder), Root(std::move(ARoot)) {}

    // Checks one file; false when it breaks the order.
    bool Check(const fs::path& File) {
        const std::string Path = fs::relative(File, Root).generic_string();
        const std::string Stem = File.stem().string();
        const TEntry* Own = Order.Find(Stem);
        if (!Own || Own->Path != (fs::path(Path).parent_path() / Stem).generic_string()) {
            std::printf("%s: not a unit of the declared order\n", Path.c_str());
            return false;
        }
        std::ifstream In(File);
        std::string Line;
        bool Good = true;
        bool InComment = false;
        const bool Portable = BackEndOf(Path).empty();
        for (int Number = 1; std::getline(In, Line); ++Number) {
            const std::string Where = Path + ":" + std::to_string(Number) + ": ";
            const std::string Code = CodeOf(Line, InComment);
            char Opening = 0;
            std::string Header;
            if (ParseInclude(Line, Opening, Header))
                Good = (Opening == '<' ? CheckSystem(Path, Header, Where)
                                       : CheckUnit(Path, *Own, Header, Where)) &&
                       Good;
            else if (Portable)
                Good = CheckNames(Code, Where) && Good;
        }
        return Good;
    }

private:
    // "#include <Header>" or "#include "Header"", blanks allowed around the '#'.
    static bool ParseInclude(const std::string& Line, char& Opening, std::string& Header) {
        std::size_t At = Line.find_first_not_of(" \t");
        if (At == std::string::npos || Line[At] != '#')
            return false;
        At = Line.find_first_not_of(" \t", At + 1);
        if (At == std::string::npos || Line.compare(At, 7, "include") != 0)
            return false;
        At = Line.find_first_not_of(" \t", At + 7);
        if (At == std::string::npos || (Line[At] != '<' && Line[At] != '"'))
            return false;
        Opening = Line[At];
        const std::size_t End = Line.find(Opening == '<' ? '>' : '"', At + 1);
        if (End == std::string::npos || End == At + 1)
            return false;
        Header = Line.substr(At + 1, End - At - 1);
        return true;
    }

    static bool CheckSystem(const std::string& Path, const std::string& Header,
                            const std::string& Where) {
        if (!IsPlatformHeader(Header) || !BackEndOf(Path).empty())
            return true;
        std::printf("%splatform header <%s> outside the back ends' folders\n", Where.c_str(),
                    Header.c_str());
        return false;
    }

    static bool CheckNames(const std::string& Code, const std::string& Where) {
        const std::string Name = QtName(Code);
        if (Name.empty())
            return true;
        std::printf("%sQt type %s named outside the back ends' folders\n", Where.c_str(),
                    Name.c_str());
        return false;
    }

    bool CheckUnit(const std::string& Path, const TEntry& Own, const std::string& Header,
                   const std::string& Where) const {
        const TEntry* Target = Order.Find(fs::path(Header).stem().string());
        if (!Target) {
            std::printf("%s\"%s\" is not a unit of the declared order\n", Where.c_str(),
                        Header.c_str());
            return false;
        }
        if (StartsWith(Target->Path, InternalFolder) && !StartsWith(Path, LayerFolder)) {
            std::printf("%s\"%s\" is internal to the platform layer\n", Where.c_str(),
                        Header.c_str());
            return false;
        }
        const std::string BackEnd = BackEndOf(Target->Path);
        if (!BackEnd.empty() && BackEnd != BackEndOf(Path)) {
            std::printf("%s\"%s\" belongs to the back end in %s\n", Where.c_str(),
                        Header.c_str(), BackEnd.c_str());
            return false;
        }
        if (Target->Unit == Own.Unit || Target->Unit->Level < Own.Unit->Level)
            return true;
        std::printf("%s%s includes %s, which is not below it\n", Where.c_str(),
                    Own.Unit->Name.c_str(), Target->Unit->Name.c_str());
        return false;
    }

    const TOrder& Order;
    fs::path Root;
};

} // namespace

int main(int Argc, char** Argv) {
    if (Argc < 3) {
        std::fprintf(stderr, "usage: check_includes ORDER ROOT FILE...\n");
        return 2;
    }
    TOrder Order;
    if (!Order.Read(Argv[1]))
        return 2;
    TChecker Checker(Order, fs::canonical(Argv[2]));
    bool Good = true;
    for (int I = 3; I < Argc; ++I)
        Good = Checker.Check(fs::canonical(Argv[I])) && Good;
    return Good ? 0 : 1;
}
