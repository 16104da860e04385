// The programs' form files are Win32 resources, which a running program cannot unload: the exit
// test's build of a program renames their resource type in its loaded image, so that no form
// file is found. "FORMS" becomes "FORM", which keeps the types' sorted order.
#include "ProbeForms.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

IMAGE_RESOURCE_DIRECTORY* ResourceRoot(BYTE* Image) {
    const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Image);
    const auto* Headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(Image + Dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& Resources =
        Headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    return reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(Image + Resources.VirtualAddress);
}

IMAGE_RESOURCE_DIR_STRING_U* NamedType(IMAGE_RESOURCE_DIRECTORY* Root, std::wstring_view Type) {
    auto* Entries = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(Root + 1);
    for (WORD I = 0; I < Root->NumberOfNamedEntries; ++I) {
        auto* Name = reinterpret_cast<IMAGE_RESOURCE_DIR_STRING_U*>(reinterpret_cast<BYTE*>(Root) +
                                                                    Entries[I].NameOffset);
        if (std::wstring_view(Name->NameString, Name->Length) == Type)
            return Name;
    }
    return nullptr;
}

} // namespace

void DropProbeForms() {
    auto* Image = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    IMAGE_RESOURCE_DIR_STRING_U* Forms = NamedType(ResourceRoot(Image), L"FORMS");
    DWORD Protection = 0;
    if (!Forms || !VirtualProtect(Forms, sizeof *Forms, PAGE_READWRITE, &Protection)) {
        std::fprintf(stderr, "the probe carries no form files to drop\n");
        std::exit(2);
    }
    Forms->Length = 4;
    VirtualProtect(Forms, sizeof *Forms, Protection, &Protection);
}
