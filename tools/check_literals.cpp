// Build check: text inside the programs is code page 932, and source files are UTF-8, so a
// string literal holding non-ASCII bytes must come in through the _sj conversion. The only
// other way allowed is a u8 literal, whose distinct character type keeps it out of byte
// strings; it is meant for text handed straight to the toolkit.
//
//   check_literals FILE...   prints every offending literal and exits with 1 if there is one
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Literal {
    std::string Prefix;
    std::string Suffix;
    bool NonAscii = false;
    int Line = 0;
};

class Scanner {
public:
    explicit Scanner(std::string Text) : Src(std::move(Text)) {}

    // Runs of adjacent literals: the suffix of one applies to the whole concatenation.
    std::vector<std::vector<Literal>> Runs() {
        std::vector<std::vector<Literal>> Result;
        bool Adjacent = false;
        while (Pos < Src.size()) {
            if (SkipSpaceOrComment())
                continue;
            Literal L;
            if (ReadLiteral(L)) {
                if (!Adjacent)
                    Result.emplace_back();
                Result.back().push_back(L);
                Adjacent = true;
                continue;
            }
            Adjacent = false;
            SkipToken();
        }
        return Result;
    }

private:
    bool At(const char* S) const {
        return Src.compare(Pos, std::char_traits<char>::length(S), S) == 0;
    }
    static bool IdentChar(char C) {
        return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
    }
    void Advance(std::size_t N = 1) {
        for (std::size_t I = 0; I < N && Pos < Src.size(); ++I, ++Pos)
            if (Src[Pos] == '\n')
                ++Line;
    }

    bool SkipSpaceOrComment() {
        if (std::isspace(static_cast<unsigned char>(Src[Pos]))) {
            Advance();
            return true;
        }
        if (At("//")) {
            while (Pos < Src.size() && Src[Pos] != '\n')
                Advance();
            return true;
        }
        if (At("/*")) {
            Advance(2);
            while (Pos < Src.size() && !At("*/"))
                Advance();
            Advance(2);
            return true;
        }
        return false;
    }

    // A string literal with its encoding prefix and suffix; character literals are skipped.
    bool ReadLiteral(Literal& L) {
        std::size_t Start = Pos;
        while (Start < Src.size() && IdentChar(Src[Start]))
            ++Start;
        const std::string Prefix = Src.substr(Pos, Start - Pos);
        static const char* const Prefixes[] = {"",  "u8",  "u",  "U",  "L",
                                               "R", "u8R", "uR", "UR", "LR"};
        bool Known = false;
        for (const char* P : Prefixes)
            Known = Known || Prefix == P;
        if (!Known || Start >= Src.size() || Src[Start] != '"')
            return false;
        if (Pos > 0 && IdentChar(Src[Pos - 1]))
            return false;
        L.Line = Line;
        L.Prefix = Prefix;
        Advance(Start - Pos + 1);
        if (!Prefix.empty() && Prefix.back() == 'R')
            ReadRawBody(L);
        else
            ReadBody(L, '"');
        if (!L.Prefix.empty() && L.Prefix.back() == 'R')
            L.Prefix.pop_back();
        while (Pos < Src.size() && IdentChar(Src[Pos])) {
            L.Suffix += Src[Pos];
            Advance();
        }
        return true;
    }

    void ReadBody(Literal& L, char Quote) {
        while (Pos < Src.size() && Src[Pos] != Quote && Src[Pos] != '\n') {
            if (Src[Pos] == '\\')
                Advance();
            else if (static_cast<unsigned char>(Src[Pos]) >= 0x80)
                L.NonAscii = true;
            Advance();
        }
        Advance();
    }

    void ReadRawBody(Literal& L) {
        const std::size_t Open = Src.find('(', Pos);
        if (Open == std::string::npos) {
            Advance(Src.size() - Pos);
            return;
        }
        std::string Close(1, ')');
        Close.append(Src, Pos, Open - Pos).push_back('"');
        const std::size_t End = Src.find(Close, Open);
        const std::size_t Stop = End == std::string::npos ? Src.size() : End + Close.size();
        for (std::size_t I = Pos; I < Stop; ++I)
            L.NonAscii = L.NonAscii || static_cast<unsigned char>(Src[I]) >= 0x80;
        Advance(Stop - Pos);
    }

    // One identifier, number (digit separators included), character literal or punctuator.
    void SkipToken() {
        const char C = Src[Pos];
        if (std::isdigit(static_cast<unsigned char>(C))) {
            while (Pos < Src.size() && (IdentChar(Src[Pos]) || Src[Pos] == '.' || Src[Pos] == '\''))
                Advance();
        } else if (IdentChar(C)) {
            while (Pos < Src.size() && IdentChar(Src[Pos]))
                Advance();
            if (Pos < Src.size() && Src[Pos] == '\'') {
                Literal Ignored;
                Advance();
                ReadBody(Ignored, '\'');
            }
        } else if (C == '\'') {
            Literal Ignored;
            Advance();
            ReadBody(Ignored, '\'');
        } else {
            Advance();
        }
    }

    std::string Src;
    std::size_t Pos = 0;
    int Line = 1;
};

bool Allowed(const std::vector<Literal>& Run) {
    for (const Literal& L : Run)
        if (L.Suffix == "_sj")
            return true;
    for (const Literal& L : Run)
        if (L.NonAscii && L.Prefix != "u8")
            return false;
    return true;
}

} // namespace

int main(int Argc, char** Argv) {
    int Found = 0;
    for (int I = 1; I < Argc; ++I) {
        std::ifstream In(Argv[I], std::ios::binary);
        if (!In) {
            std::fprintf(stderr, "%s: cannot be read\n", Argv[I]);
            return 2;
        }
        std::stringstream Text;
        Text << In.rdbuf();
        for (const auto& Run : Scanner(Text.str()).Runs()) {
            if (Allowed(Run))
                continue;
            std::fprintf(stderr,
                         "%s:%d: error: literal with non-ASCII text is neither a _sj literal "
                         "(code page 932) nor a u8 literal\n",
                         Argv[I], Run.front().Line);
            ++Found;
        }
    }
    return Found == 0 ? 0 : 1;
}
