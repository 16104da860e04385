// A fresh folder for one test under the system's temporary folder, removed with all it holds;
// and whole-file reads and writes for the tests' own files.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

inline std::string ReadWholeFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

inline bool WriteWholeFile(const std::string& Path, std::string_view Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return static_cast<bool>(Out.flush());
}

inline bool FileExists(const std::string& Path) {
    return std::filesystem::exists(Path);
}

class TTempDir {
public:
    TTempDir() {
        std::random_device Seed;
        std::mt19937_64 Random(Seed());
        const auto Base = std::filesystem::temp_directory_path();
        do
            FPath = (Base / ("quovant-test-" + std::to_string(Random()))).string();
        while (!std::filesystem::create_directory(FPath));
    }
    ~TTempDir() {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(std::string_view Name) const { return FPath + "/" + std::string(Name); }
    // Writes Bytes to the file Name in the folder and returns its path.
    std::string Write(std::string_view Name, std::string_view Bytes) const {
        const std::string Path = File(Name);
        WriteWholeFile(Path, Bytes);
        return Path;
    }
    std::string Read(std::string_view Name) const { return ReadWholeFile(File(Name)); }
    bool Exists(std::string_view Name) const { return FileExists(File(Name)); }
    void MakeFolder(std::string_view Name) const { std::filesystem::create_directory(File(Name)); }
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
    std::string FPath;
};
