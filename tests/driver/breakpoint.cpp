#include "tests/driver/breakpoint.h"

#include <cstring>

namespace driver {

namespace {

constexpr BYTE kBreakInstruction = 0xCC;
constexpr DWORD kTrapFlag = 0x100;
constexpr DWORD kAttachTimeout = 10000;
constexpr size_t kArgumentCount = 4;

// Where a function of this process lies, and the base of the module that really holds it
// (kernel32 forwards many functions to kernelbase).
bool LocateFunction(const wchar_t* module, const char* function, DWORD& address, DWORD& moduleBase) {
    const HMODULE named = GetModuleHandleW(module);
    const FARPROC entry = named ? GetProcAddress(named, function) : nullptr;
    HMODULE owner = nullptr;
    if (!entry || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                          GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                      reinterpret_cast<LPCWSTR>(entry), &owner))
        return false;
    address = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(entry));
    moduleBase = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(owner));
    return true;
}

} // namespace

std::string ReadRemote(HANDLE process, DWORD address, size_t size) {
    std::string bytes(size, '\0');
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<UINT_PTR>(address)), bytes.data(),
                           size, &got))
        return {};
    bytes.resize(got);
    return bytes;
}

EntryBreakpoint::EntryBreakpoint(DWORD processId, const wchar_t* module, const char* function) {
    DWORD moduleBase = 0;
    if (!LocateFunction(module, function, address_, moduleBase) || !Attach(processId)) return;
    if (!moduleBases_.count(moduleBase)) return; // the module lies elsewhere in that process
    const std::string original = ReadRemote(process_, address_, 1);
    if (original.size() != 1) return;
    original_ = static_cast<BYTE>(original[0]);
    WriteCodeByte(kBreakInstruction);
    armed_ = ReadRemote(process_, address_, 1) == std::string(1, char(kBreakInstruction));
}

EntryBreakpoint::~EntryBreakpoint() {
    if (attached_ && !exited_) {
        if (armed_) WriteCodeByte(original_);
        if (stopped_) Continue(pending_, DBG_CONTINUE);
        DebugActiveProcessStop(processId_);
    }
    if (process_) CloseHandle(process_);
}

// Attaching reports the process, its modules and threads, then stops it at a first breakpoint.
bool EntryBreakpoint::Attach(DWORD processId) {
    processId_ = processId;
    process_ = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (!process_ || !DebugActiveProcess(processId)) return false;
    attached_ = true;
    DebugSetProcessKillOnExit(FALSE);
    const ULONGLONG deadline = GetTickCount64() + kAttachTimeout;
    DEBUG_EVENT event{};
    while (NextEvent(event, deadline)) {
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT)
            moduleBases_.insert(
                static_cast<DWORD>(reinterpret_cast<UINT_PTR>(event.u.CreateProcessInfo.lpBaseOfImage)));
        if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT)
            moduleBases_.insert(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(event.u.LoadDll.lpBaseOfDll)));
        const bool attachBreak = event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                                 event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT;
        if (attachBreak) {
            // Stays stopped until the breakpoint is planted; WaitForCall continues it.
            pending_ = event;
            stopped_ = true;
            return true;
        }
        Continue(event, DBG_CONTINUE);
        if (exited_) return false;
    }
    return false;
}

bool EntryBreakpoint::NextEvent(DEBUG_EVENT& event, ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline || !WaitForDebugEvent(&event, static_cast<DWORD>(deadline - now))) return false;
    // Image file handles belong to the debugger.
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile)
        CloseHandle(event.u.CreateProcessInfo.hFile);
    if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile)
        CloseHandle(event.u.LoadDll.hFile);
    if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) exited_ = true;
    return true;
}

void EntryBreakpoint::Continue(const DEBUG_EVENT& event, DWORD status) {
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    stopped_ = false;
}

void EntryBreakpoint::WriteCodeByte(BYTE value) {
    LPVOID at = reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(address_));
    DWORD oldProtection = 0;
    VirtualProtectEx(process_, at, 1, PAGE_EXECUTE_READWRITE, &oldProtection);
    WriteProcessMemory(process_, at, &value, 1, nullptr);
    VirtualProtectEx(process_, at, 1, oldProtection, &oldProtection);
    FlushInstructionCache(process_, at, 1);
}

// A thread entered the function: keep it there if the call is wanted, otherwise let it step
// over the original instruction and plant the breakpoint again behind it.
bool EntryBreakpoint::OnBreakpoint(const DEBUG_EVENT& event, const CallFilter& accept) {
    HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
    if (!thread) return false;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    GetThreadContext(thread, &context);
    context.Eip = address_;
    DWORD arguments[kArgumentCount] = {};
    const std::string stack = ReadRemote(process_, context.Esp + 4, sizeof arguments);
    if (stack.size() == sizeof arguments) std::memcpy(arguments, stack.data(), sizeof arguments);
    const bool wanted = accept(process_, arguments);
    if (!wanted) {
        WriteCodeByte(original_);
        context.EFlags |= kTrapFlag;
        steppingThreads_.insert(event.dwThreadId);
    }
    SetThreadContext(thread, &context);
    CloseHandle(thread);
    return wanted;
}

bool EntryBreakpoint::WaitForCall(const CallFilter& accept, DWORD timeoutMs) {
    if (!armed_) return false;
    if (stopped_) Continue(pending_, DBG_CONTINUE);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    DEBUG_EVENT event{};
    while (NextEvent(event, deadline)) {
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
            const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
            const auto where = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(record.ExceptionAddress));
            if (record.ExceptionCode == EXCEPTION_BREAKPOINT && where == address_) {
                if (OnBreakpoint(event, accept)) {
                    pending_ = event;
                    stopped_ = true;
                    return true;
                }
            } else if (record.ExceptionCode == EXCEPTION_SINGLE_STEP &&
                       steppingThreads_.erase(event.dwThreadId)) {
                WriteCodeByte(kBreakInstruction);
            } else if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
                status = DBG_EXCEPTION_NOT_HANDLED; // the program's own exceptions go to it
            }
        }
        Continue(event, status);
        if (exited_) return false;
    }
    return false;
}

void EntryBreakpoint::KillStopped() {
    TerminateProcess(process_, 99);
    if (stopped_) Continue(pending_, DBG_CONTINUE);
    const ULONGLONG deadline = GetTickCount64() + kAttachTimeout;
    DEBUG_EVENT event{};
    while (!exited_ && NextEvent(event, deadline))
        Continue(event, DBG_CONTINUE); // the last one continued is the process's exit
    WaitForSingleObject(process_, kAttachTimeout);
}

} // namespace driver
