// Drives the real program for scripts/benchmark.sh: start-ups beside a minimal window
// program, an idle main window, and conversions made through the user interface next to
// the same converter command line run directly. It writes what happened, with Unix times,
// one event a line, to the events file; the script samples the processes' processor time
// from the system as the events arrive and makes the table. It measures and judges nothing.
//
// A batch follows: one clip loaded through the open dialog and converted, then fifty more chosen
// together there and converted in one go (twice), with the program's handles and memory after each, and the
// floor its memory is judged against: the minimal window program once it has opened both file dialogs.
//
// bench.exe EVENTS PROGRAM_FOLDER MINIMAL_EXE CLIP OUTPUT_FOLDER RUNS BATCH_FOLDER
#include <windows.h>

#include <tlhelp32.h>

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mainwin/main_ids.h"
#include "tools/driver/driver.h"
#include "tools/driver/drop.h"
#include "tools/driver/file_dialog.h"
#include "tools/driver/run_steps.h"

using namespace driver;

namespace {

constexpr DWORD kConversionTimeout = 10 * 60 * 1000;
constexpr DWORD kIdleMeasuredMs = 10000; // the script samples over this span
constexpr DWORD kIdleMarginMs = 1000;

FILE* gEvents = nullptr;

// Wine's system time is the Unix clock, so the script can line these up with its own samples.
double UnixNow() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const ULONGLONG ticks = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

void Event(const char* name, double at, const std::string& details = {}) {
    fprintf(gEvents, "%s %.6f%s%s\n", name, at, details.empty() ? "" : " ", details.c_str());
    fflush(gEvents);
}

void Fail(const std::string& why) {
    Event("failed", UnixNow(), why);
    fprintf(stderr, "bench: %s\n", why.c_str());
}

struct Settings {
    std::wstring events, programFolder, minimalExe, clip, outputFolder;
    int runs = 3;
    std::wstring batchFolder;
};

bool ReadArguments(Settings& settings) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words || count != 8) return false;
    settings = {words[1], words[2], words[3], words[4], words[5], _wtoi(words[6]), words[7]};
    LocalFree(words);
    return settings.runs > 0;
}

// Start-up: from just before CreateProcess to a visible top-level window of the new process.
bool HasVisibleWindow(DWORD processId) {
    for (HWND window : TopWindowsOf(processId))
        if (IsWindowVisible(window)) return true;
    return false;
}

double SecondsToFirstWindow(const std::wstring& exe, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const double begin = UnixNow();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &started))
        return -1;
    double shown = -1;
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (GetTickCount64() < deadline) {
        if (HasVisibleWindow(started.dwProcessId)) {
            shown = UnixNow();
            break;
        }
        Sleep(1);
    }
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return shown < 0 ? -1 : shown - begin;
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// The minimal window program's memory, read by the script while its window is up. With
// "dialogs" it first opens the open and the save dialog in the batch's folder, which are
// cancelled here; with "dialogs-and-fonts" it then draws in the font the program's windows name.
void ShowMinimalWindowForAWhile(const Settings& settings, const std::string& mode = "minimal") {
    const bool dialogs = mode != "minimal";
    std::wstring commandLine = L"\"" + settings.minimalExe + L"\"";
    if (dialogs)
        commandLine +=
            L" --" + std::wstring(mode.begin(), mode.end()) + L" \"" + settings.batchFolder + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(settings.minimalExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        FolderOf(settings.minimalExe).c_str(), &startup, &started))
        return;
    if (WaitUntil([&] { return HasVisibleWindow(started.dwProcessId); })) {
        for (const char* title : dialogs ? std::vector{"Open", "Save As"} : std::vector<const char*>{}) {
            HWND dialog = WaitForFileDialog(started.dwProcessId, title);
            if (!dialog) Fail(std::string("the minimal program's dialog did not open: ") + title);
            if (dialog) ClickCancelButton(dialog);
            if (dialog) WaitForDialogToClose(dialog);
        }
        Sleep(1000);
        Event("minimal-ready", UnixNow(), "mode=" + mode);
        Sleep(1000);
    }
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
}

void MeasureStartUps(const Settings& settings) {
    const std::wstring kesto = settings.programFolder + L"\\KESTO.exe";
    // One unmeasured start of each loads their files into the cache.
    SecondsToFirstWindow(kesto, settings.programFolder);
    SecondsToFirstWindow(settings.minimalExe, FolderOf(settings.minimalExe));
    const int pairs = settings.runs < 5 ? 5 : settings.runs;
    for (int pair = 0; pair < pairs; ++pair) {
        // Alternate which goes first, so neither always meets a warmer system.
        for (int turn = 0; turn < 2; ++turn) {
            const bool kestoTurn = (turn == 0) == (pair % 2 == 0);
            const double seconds =
                kestoTurn ? SecondsToFirstWindow(kesto, settings.programFolder)
                          : SecondsToFirstWindow(settings.minimalExe, FolderOf(settings.minimalExe));
            Event("startup", UnixNow(),
                  std::string("program=") + (kestoTurn ? "kesto" : "minimal") +
                      " pair=" + std::to_string(pair) + " seconds=" + std::to_string(seconds));
        }
    }
}

std::string LastLineOf(const std::string& text) {
    size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos) return {};
    const size_t begin = text.find_last_of("\r\n", end);
    return text.substr(begin == std::string::npos ? 0 : begin + 1,
                       end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

// The converter command line run as the program runs it, without the program: hidden, its
// standard input a pipe, its standard output and error drained, and a console of its own (the
// program has none to pass on; this console program's own would otherwise be shared).
DWORD WINAPI Drain(LPVOID pipe) {
    char buffer[16384];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got) {
    }
    return 0;
}

bool RunDirectly(const std::string& commandLine, int run, double& end, DWORD& exitCode) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE childInput = nullptr, ourInput = nullptr, ourOutput = nullptr, childOutput = nullptr;
    CreatePipe(&childInput, &ourInput, &inheritable, 0);
    CreatePipe(&ourOutput, &childOutput, &inheritable, 0);
    SetHandleInformation(ourInput, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(ourOutput, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    std::string line = commandLine;
    PROCESS_INFORMATION started{};
    const double begin = UnixNow();
    const BOOL created =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                       NORMAL_PRIORITY_CLASS | CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &started);
    CloseHandle(childInput);
    CloseHandle(childOutput);
    if (created) {
        Event("direct-start", begin, "run=" + std::to_string(run));
        HANDLE drain = CreateThread(nullptr, 0, Drain, ourOutput, 0, nullptr);
        WaitForSingleObject(started.hProcess, kConversionTimeout);
        end = UnixNow();
        GetExitCodeProcess(started.hProcess, &exitCode);
        WaitForSingleObject(drain, 5000);
        CloseHandle(drain);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
    CloseHandle(ourInput);
    CloseHandle(ourOutput);
    return created;
}

void ConvertDirectly(const std::string& commandLine, const std::wstring& output, int run) {
    DeleteFileW(output.c_str());
    double end = 0;
    DWORD exitCode = 0;
    if (!RunDirectly(commandLine, run, end, exitCode)) {
        Fail("the converter could not be started directly");
        return;
    }
    Event("direct-end", end, "run=" + std::to_string(run) + " exit=" + std::to_string(exitCode));
}

void ParkPointerBeside(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    POINT away{outer.right + 40, outer.top + 40};
    ScreenToClient(window, &away);
    MoveMouse(window, away.x, away.y);
}

// One run: the idle main window, then a conversion through the user interface. Returns the
// converter command line the program logged.
std::string ConvertThroughProgram(const Settings& settings, const std::wstring& output, int run) {
    const std::string tag = "run=" + std::to_string(run);
    DeleteFileW((settings.programFolder + L"\\KESTO.ini").c_str());
    DeleteFileW((settings.programFolder + L"\\kesto.log").c_str());
    DeleteFileW(output.c_str());
    ProgramOptions options;
    options.inPlaceFolder = settings.programFolder;
    Program program(options);
    HWND main = program.WaitForMainWindow();
    if (!main) {
        Fail("the main window did not open");
        return {};
    }
    Event("program-ready", UnixNow(), tag + " pid=" + std::to_string(program.Id()));

    BringToFront(main);
    ParkPointerBeside(main);
    Sleep(kIdleMarginMs);
    Event("idle-begin", UnixNow(), tag);
    Sleep(kIdleMeasuredMs + kIdleMarginMs);
    Event("idle-end", UnixNow(), tag);

    DropFiles(main, {settings.clip});
    // The program asks the converter what the input holds as soon as it is loaded (one short start),
    // while the user goes on choosing. The look's handle stays open until the conversion is found, so
    // that its id is not given to it.
    DWORD lookId = 0;
    HANDLE look = WaitForChildProcess(program.Id(), L"ffmpeg_III.exe", kWindowTimeout, 0, &lookId);
    if (look) {
        Event("look-started", UnixNow(), tag);
        WaitForSingleObject(look, kConversionTimeout);
        Event("look-ended", UnixNow(), tag);
    }
    if (!WaitUntil([&] { return TextOf(Item(main, ID_INPUT_PATH)) == WideToUtf8(settings.clip); })) {
        Fail("the dropped clip did not load");
        return {};
    }
    Click(Item(main, ID_MODE_USUAL));
    Click(Item(main, ID_PUBLISH));
    HWND chooser = WaitForFileDialog(program.Id(), "Convert Video");
    if (!chooser) {
        Fail("the output chooser did not open");
        return {};
    }
    TypeFileName(chooser, output);
    Event("accept", UnixNow(), tag);
    PressKey(VK_RETURN); // the file name box still has the focus

    HANDLE converter = WaitForChildProcess(program.Id(), L"ffmpeg_III.exe", kWindowTimeout, lookId);
    if (look) CloseHandle(look);
    if (!converter) {
        Fail("the program started no converter");
        return {};
    }
    Event("converter-started", UnixNow(), tag);
    WaitForSingleObject(converter, kConversionTimeout);
    Event("converter-ended", UnixNow(), tag);
    CloseHandle(converter);
    HWND box = WaitForMessageBoxQuietly(program.Id(), L"Information", 1, 60000);
    const double shown = UnixNow();
    if (!box) {
        Fail("no completion message");
        return {};
    }
    const bool finished = MessageBoxTextQuietly(box) == L"Output conversion process finished";
    Event("message-visible", shown, tag + " finished=" + (finished ? "1" : "0"));

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.Id());
    if (process && GetProcessMemoryInfo(process, &memory, sizeof memory))
        Event("memory", UnixNow(), tag + " peak=" + std::to_string(memory.PeakWorkingSetSize));
    if (process) CloseHandle(process);

    AnswerMessageBox(box, IDOK);
    Click(Item(main, ID_EXIT));
    DWORD exitCode = 0;
    if (!program.WaitForExit(15000, &exitCode)) Fail("the program did not end on Exit");
    Event("program-ended", UnixNow(), tag);
    return LastLineOf(ReadBytes(settings.programFolder + L"\\kesto.log"));
}

// The process's handles as the system's handle table lists them: Wine does not count them
// for GetProcessHandleCount.
DWORD HandlesInSystemTable(DWORD processId) {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    struct Entry { // one row of the table (SystemHandleInformation, class 16)
        ULONG owner;
        BYTE type, flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    constexpr ULONG kHandleTable = 16;
    constexpr LONG kTooSmall = LONG(0xC0000004);
    std::vector<BYTE> table(1 << 20);
    ULONG needed = 0;
    while (query && query(kHandleTable, table.data(), ULONG(table.size()), &needed) == kTooSmall)
        table.resize(table.size() * 2);
    if (!query) return 0;
    const ULONG rows = *reinterpret_cast<const ULONG*>(table.data());
    const auto* entries = reinterpret_cast<const Entry*>(table.data() + sizeof(ULONG_PTR));
    DWORD count = 0;
    for (ULONG row = 0; row < rows; ++row)
        count += entries[row].owner == processId;
    return count;
}

// The program's working set, peak working set, handles and window-system objects, as Windows
// reports them.
std::string StateOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return "unknown=1";
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    DWORD handles = 0;
    if (!GetProcessHandleCount(process, &handles) || handles == 0) handles = HandlesInSystemTable(processId);
    const std::string state = "ws=" + std::to_string(memory.WorkingSetSize) +
                              " peak=" + std::to_string(memory.PeakWorkingSetSize) +
                              " handles=" + std::to_string(handles) +
                              " gdi=" + std::to_string(GetGuiResources(process, GR_GDIOBJECTS)) +
                              " user=" + std::to_string(GetGuiResources(process, GR_USEROBJECTS));
    CloseHandle(process);
    return state;
}

std::vector<std::wstring> ClipsIn(const std::wstring& folder) {
    std::vector<std::wstring> clips;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*.mp4").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        clips.push_back(folder + L"\\" + found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(clips.begin(), clips.end());
    return clips;
}

// Publishes what is loaded into `output` (for several videos: their folder and type) and
// follows the converters one after the other until the closing message, which it answers.
ULONGLONG CreationTimeOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool PublishLoaded(const Program& program, HWND main, const std::wstring& output, size_t videos) {
    Click(Item(main, ID_PUBLISH));
    HWND chooser = WaitForFileDialog(program.Id(), "Convert Video");
    if (!chooser) {
        Fail("the output chooser did not open");
        return false;
    }
    TypeFileName(chooser, output);
    PressKey(VK_RETURN);
    // The looks at the videos were taken when they were loaded, but one not finished by now may
    // overlap the conversions: every converter the program starts is followed, and a look is told
    // from a conversion by how it ends (a look at an input ends with 1, a conversion here with 0).
    std::map<DWORD, std::pair<HANDLE, double>> running; // id -> handle, when it was seen starting
    std::set<std::pair<DWORD, ULONGLONG>> seen;         // id and creation time: Wine reuses ids at once
    size_t converted = 0;
    const ULONGLONG deadline = GetTickCount64() + kConversionTimeout;
    while (converted < videos && GetTickCount64() < deadline) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            if (entry.th32ParentProcessID == program.Id() &&
                _wcsicmp(entry.szExeFile, L"ffmpeg_III.exe") == 0 && !running.contains(entry.th32ProcessID))
                if (HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                               entry.th32ProcessID)) {
                    if (seen.insert({entry.th32ProcessID, CreationTimeOf(child)}).second)
                        running[entry.th32ProcessID] = {child, UnixNow()};
                    else
                        CloseHandle(child);
                }
        CloseHandle(snapshot);
        for (auto it = running.begin(); it != running.end();) {
            if (WaitForSingleObject(it->second.first, 0) != WAIT_OBJECT_0) {
                ++it;
                continue;
            }
            const double ended = UnixNow();
            DWORD exitCode = 1;
            GetExitCodeProcess(it->second.first, &exitCode);
            if (exitCode == 0) {
                const std::string tag =
                    "video=" + std::to_string(converted++) + " of=" + std::to_string(videos);
                Event("batch-start", it->second.second, tag);
                Event("batch-end", ended, tag);
            } else {
                Event("batch-look", ended, "ms=" + std::to_string(int((ended - it->second.second) * 1000)));
            }
            CloseHandle(it->second.first);
            it = running.erase(it);
        }
        Sleep(1);
    }
    for (auto& [id, child] : running)
        CloseHandle(child.first);
    if (converted < videos) {
        Fail("only " + std::to_string(converted) + " of " + std::to_string(videos) + " videos converted");
        return false;
    }
    HWND box = WaitForMessageBoxQuietly(program.Id(), L"Information", 1, 60000);
    if (!box) {
        Fail("no closing message after " + std::to_string(videos) + " videos");
        return false;
    }
    AnswerMessageBox(box, IDOK);
    return true;
}

void MeasureBatch(const Settings& settings) {
    const std::vector<std::wstring> clips = ClipsIn(settings.batchFolder);
    const std::wstring outputs = settings.outputFolder + L"\\batch";
    CreateDirectoryW(outputs.c_str(), nullptr);
    DeleteFileW((settings.programFolder + L"\\KESTO.ini").c_str());
    DeleteFileW((settings.programFolder + L"\\kesto.log").c_str());
    ProgramOptions options;
    options.inPlaceFolder = settings.programFolder;
    Program program(options);
    HWND main = program.WaitForMainWindow();
    if (clips.size() < 2 || !main) return Fail("no clips for the batch, or no main window");
    Event("program-ready", UnixNow(), "batch=1 pid=" + std::to_string(program.Id()));
    Click(Item(main, ID_LOAD));
    HWND chooser = WaitForFileDialog(program.Id(), "Load Video");
    if (!chooser) return Fail("the input chooser did not open");
    TypeFileName(chooser, clips[0]);
    PressKey(VK_RETURN);
    if (!WaitUntil([&] { return TextOf(Item(main, ID_INPUT_PATH)) == WideToUtf8(clips[0]); }))
        return Fail("the chosen clip did not load");
    if (!PublishLoaded(program, main, outputs + L"\\first.mp4", 1)) return;
    Sleep(1000);
    Event("state", UnixNow(), "after=1 " + StateOf(program.Id()));
    // The rest twice, in two batches: what the first batch opens once shows after it, what
    // each video leaves behind grows again after the second.
    const std::vector<std::wstring> rest(clips.begin() + 1, clips.end());
    std::wstring names;
    for (const std::wstring& clip : rest)
        names += L"\"" + clip.substr(clip.rfind(L'\\') + 1) + L"\" ";
    for (size_t converted = clips.size(); converted < 2 * clips.size(); converted += rest.size()) {
        Click(Item(main, ID_LOAD));
        chooser = WaitForFileDialog(program.Id(), "Load Video");
        if (!chooser) return Fail("the input chooser did not open");
        test::ChooseInDialog(chooser, names); // chosen together, in the folder of the first clip
        WaitForDialogToClose(chooser);
        const std::string loaded = std::to_string(rest.size()) + " videos: ";
        if (!WaitUntil([&] { return TextOf(Item(main, ID_INPUT_PATH)).rfind(loaded, 0) == 0; }))
            return Fail("the chosen clips did not load");
        if (!PublishLoaded(program, main, outputs + L"\\any name.mp4", rest.size())) return;
        Sleep(1000);
        Event("state", UnixNow(), "after=" + std::to_string(converted) + " " + StateOf(program.Id()));
    }
    Click(Item(main, ID_EXIT));
    DWORD exitCode = 0;
    if (!program.WaitForExit(15000, &exitCode)) Fail("the program did not end on Exit");
}

} // namespace

int main() {
    Settings settings;
    if (!ReadArguments(settings)) {
        fprintf(stderr,
                "usage: bench EVENTS PROGRAM_FOLDER MINIMAL_EXE CLIP OUTPUT_FOLDER RUNS BATCH_FOLDER\n");
        return 2;
    }
    gEvents = _wfopen(settings.events.c_str(), L"w");
    if (!gEvents) return 2;
    Event("begin", UnixNow());
    MeasureStartUps(settings);
    ShowMinimalWindowForAWhile(settings);
    ShowMinimalWindowForAWhile(settings, "dialogs");
    ShowMinimalWindowForAWhile(settings, "dialogs-and-fonts");
    std::string commandLine;
    for (int run = 0; run < settings.runs; ++run) {
        const std::wstring output = settings.outputFolder + L"\\converted-" + std::to_wstring(run) + L".mp4";
        // Alternate the order once the command line is known, so neither always runs first.
        const bool directFirst = run % 2 == 1 && !commandLine.empty();
        if (directFirst) ConvertDirectly(commandLine, output, run);
        const std::string logged = ConvertThroughProgram(settings, output, run);
        if (logged.empty()) break;
        commandLine = logged;
        Event("command", UnixNow(), "run=" + std::to_string(run) + " line=" + commandLine);
        if (!directFirst) ConvertDirectly(commandLine, output, run);
    }
    MeasureBatch(settings);
    Event("end", UnixNow());
    fclose(gEvents);
    return 0;
}
