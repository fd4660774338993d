// Records the program's ShellExecuteA calls in this process, with every argument, and passes
// them on to the shell. It swaps this executable's import slot of shell32's ShellExecuteA
// (which the program's library calls through) for a recorder while it lives.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct ShellCall {
    HWND owner;
    std::optional<std::string> verb; // none: the default verb
    std::string file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show;
};

class ShellSpy {
  public:
    ShellSpy() {
        slot_ = ImportSlot("shell32.dll", "ShellExecuteA");
        if (!slot_) return;
        real_ = reinterpret_cast<Function>(*slot_);
        Swap(reinterpret_cast<void*>(&Record));
        current_ = this;
    }
    ~ShellSpy() {
        if (!slot_) return;
        Swap(reinterpret_cast<void*>(real_));
        current_ = nullptr;
    }
    ShellSpy(const ShellSpy&) = delete;
    ShellSpy& operator=(const ShellSpy&) = delete;

    bool Installed() const { return slot_ != nullptr; }
    std::vector<ShellCall> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

  private:
    using Function = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

    static std::optional<std::string> Optional(const char* text) {
        return text ? std::optional<std::string>(text) : std::nullopt;
    }

    static HINSTANCE WINAPI Record(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                   INT show) {
        ShellSpy* spy = current_;
        {
            std::lock_guard<std::mutex> lock(spy->mutex_);
            spy->calls_.push_back(
                {owner, Optional(verb), file ? file : "", Optional(parameters), Optional(directory), show});
        }
        return spy->real_(owner, verb, file, parameters, directory, show);
    }

    // The import address table entry of `function` from `dll` in this executable.
    static void** ImportSlot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* headers =
            reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name; ++module) {
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

    void Swap(void* function) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }

    static inline ShellSpy* current_ = nullptr;
    void** slot_ = nullptr;
    Function real_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<ShellCall> calls_;
};
