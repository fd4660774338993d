// Observes what the program asks the shell to open, without a browser or a mail program: while
// a ShellSpy lives, the program's ShellExecuteA calls are noted, with every argument, and open
// nothing.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "tests/wine/import_patch.h"

class ShellSpy {
  public:
    ShellSpy() { current_ = this; }
    ~ShellSpy() { current_ = nullptr; }
    bool Installed() const { return patch_.Installed(); }
    // One text per call: "owner verb file parameters directory show", "-" for a null pointer.
    std::vector<std::string> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

  private:
    static std::string Text(const char* text) { return text ? text : "-"; }
    static HINSTANCE WINAPI Record(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                   INT show) {
        std::lock_guard<std::mutex> lock(current_->mutex_);
        current_->calls_.push_back((owner ? "owner " : "- ") + Text(verb) + " " + Text(file) + " " +
                                   Text(parameters) + " " + Text(directory) + " " + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(42); // above 32: success
    }

    static inline ShellSpy* current_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    ImportPatch patch_{"shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(&Record)};
};
