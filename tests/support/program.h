// KESTO.exe started from a fresh program folder (or from where it lies, for an unpacked
// release), as a user starts it. The destructor ends it if it still runs and removes the
// folder it made.
#pragma once

#include <windows.h>

#include <string>

namespace test {

enum class Converter { None, Real, Fake };

class Program {
  public:
    // `folder` empty: a fresh copy of the built program with the converter chosen.
    explicit Program(Converter converter = Converter::None, const std::wstring& folder = L"");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    std::wstring PathOf(const std::wstring& name) const { return folder_ + L"\\" + name; }
    DWORD Id() const { return processId_; }
    // The main window, once the start window has been passed with its Start button.
    HWND WaitForMainWindow() const;
    // The exit code, or false on time-out.
    bool WaitForExit(DWORD* exitCode = nullptr, DWORD timeoutMs = 15000) const;

  private:
    std::wstring folder_;
    bool ownsFolder_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

} // namespace test
