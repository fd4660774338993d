// KESTO.exe started from where it lies, as a user or the shell starts it. The destructor ends it
// if it still runs.
#pragma once

#include <windows.h>

#include <string>

namespace test {

class Program {
  public:
    // `arguments` follow the program's name on its command line, as "Open with" gives them.
    explicit Program(const std::wstring& folder, const std::wstring& arguments = L"");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return processId_; }
    // The main window, once the start window has been passed with its Start button.
    HWND WaitForMainWindow() const;
    // The exit code, or false on time-out.
    bool WaitForExit(DWORD* exitCode = nullptr, DWORD timeoutMs = 15000) const;

  private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

} // namespace test
