// A folder of the test's own under the system's temporary folder, removed with everything in
// it when the test ends; and the few file operations the tests need around it.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

// Writes Bytes as the whole file; false when it cannot be written.
inline bool WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out << Bytes;
    return static_cast<bool>(Out.flush());
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

class TTempDir {
public:
    TTempDir() {
        std::string Pattern =
            (std::filesystem::temp_directory_path() / "quovant-test-XXXXXX").string();
        if (!mkdtemp(Pattern.data()))
            throw std::filesystem::filesystem_error(
                "no temporary folder", Pattern, std::error_code(errno, std::generic_category()));
        FPath = Pattern;
    }
    ~TTempDir() {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string Path() const { return FPath.string(); }
    // Name in the folder.
    std::string FilePath(const std::string& Name) const { return (FPath / Name).string(); }
    // Writes Bytes as the file Name in the folder and returns its path.
    std::string Write(const std::string& Name, const std::string& Bytes) const {
        const std::string Path = FilePath(Name);
        WriteFile(Path, Bytes);
        return Path;
    }
    std::string Read(const std::string& Name) const { return ReadFile(FilePath(Name)); }
    bool Exists(const std::string& Name) const { return std::filesystem::exists(FPath / Name); }
    void MakeFolder(const std::string& Name) const {
        std::filesystem::create_directory(FPath / Name);
    }
    // The names of the plain files in the folder, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> Names;
        for (const auto& Entry : std::filesystem::directory_iterator(FPath))
            if (Entry.is_regular_file())
                Names.push_back(Entry.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }

private:
    std::filesystem::path FPath;
};
