// A folder of the test's own under the system's temporary folder, removed with everything in
// it when the test ends; and the few file operations the tests need around it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
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
    TTempDir() : FPath(NewFolder()) {}
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
    // A folder that did not exist before, so that tests running at the same time get their own.
    static std::filesystem::path NewFolder() {
        std::random_device Random;
        const std::filesystem::path Temp = std::filesystem::temp_directory_path();
        for (;;) {
            std::filesystem::path Path = Temp / ("quovant-test-" + std::to_string(Random()));
            if (std::filesystem::create_directory(Path))
                return Path;
        }
    }

    std::filesystem::path FPath;
};
