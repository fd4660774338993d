// Stops a running program at the entry of a system function, as a debugger would, so that a
// test can end it at an exact step (for example the moment it starts writing a file).
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

namespace driver {

// Tells whether a call is the one wanted, from the called function's first stack arguments.
using CallFilter = std::function<bool(HANDLE process, const DWORD* arguments)>;

// Reads `size` bytes of another process's memory (empty when they cannot be read).
std::string ReadRemote(HANDLE process, DWORD address, size_t size);

// Only the attaching thread may use the object: the system hands debug events to it alone.
class EntryBreakpoint {
  public:
    // Attaches to the process and plants a breakpoint at module!function (a 32-bit process whose
    // system modules lie where they lie in this one, as they do on Windows and Wine).
    EntryBreakpoint(DWORD processId, const wchar_t* module, const char* function);
    ~EntryBreakpoint();
    EntryBreakpoint(const EntryBreakpoint&) = delete;
    EntryBreakpoint& operator=(const EntryBreakpoint&) = delete;

    bool Armed() const { return armed_; }
    // Lets the process run until a call that `accept` takes; the process then stays stopped there.
    // False when the process ends first or the time-out passes.
    bool WaitForCall(const CallFilter& accept, DWORD timeoutMs);
    // Ends the stopped process before it takes one more step, and waits until it has gone.
    void KillStopped();

  private:
    bool Attach(DWORD processId);
    bool NextEvent(DEBUG_EVENT& event, ULONGLONG deadline);
    void Continue(const DEBUG_EVENT& event, DWORD status);
    bool OnBreakpoint(const DEBUG_EVENT& event, const CallFilter& accept);
    void WriteCodeByte(BYTE value);

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    DWORD address_ = 0;
    BYTE original_ = 0;
    bool armed_ = false;
    bool attached_ = false;
    bool exited_ = false;
    bool stopped_ = false; // pending_ has been taken and not yet continued
    DEBUG_EVENT pending_{};
    std::set<DWORD> moduleBases_;
    std::set<DWORD> steppingThreads_; // threads that step over the removed breakpoint
};

} // namespace driver
