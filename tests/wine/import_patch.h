// Points this executable's import slot of a system function elsewhere while the object lives.
// The program's library, linked into this executable, calls system functions through these
// slots, so a test can watch its calls or make them fail as a full disk would.
#pragma once

#include <windows.h>

#include <cstring>

class ImportPatch {
  public:
    ImportPatch(const char* dll, const char* function, void* replacement) : slot_(Slot(dll, function)) {
        if (slot_) original_ = Swap(replacement);
    }
    ~ImportPatch() {
        if (slot_) Swap(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Installed() const { return slot_ != nullptr; }
    template <class Function> Function Original() const { return reinterpret_cast<Function>(original_); }

  private:
    static void** Slot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* headers =
            reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD imports =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name;
             ++module) {
            if (_stricmp(reinterpret_cast<const char*>(base + module->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void* Swap(void* function) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        void* previous = *slot_;
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
        return previous;
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};
