// Points one of this executable's import slots elsewhere while the object lives. The program's
// library, linked into this executable, calls system functions through these slots, so a test
// can watch its calls or make them fail as a full disk would.
#pragma once

#include <windows.h>

// The slots, by the names the linker gives them.
extern void* gShellExecuteASlot asm("__imp__ShellExecuteA@24");
extern void* gWriteFileSlot asm("__imp__WriteFile@20");

class ImportPatch {
  public:
    ImportPatch(void** slot, void* replacement) : slot_(slot), original_(Swap(replacement)) {}
    ~ImportPatch() { Swap(original_); }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

  private:
    void* Swap(void* function) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        void* previous = *slot_;
        *slot_ = function;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
        return previous;
    }

    void** slot_;
    void* original_;
};
