#include "convert/converter_run.h"

#include <algorithm>
#include <memory>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "convert/looks.h"
#include "convert/processing_log.h"

namespace {

constexpr DWORD kWorkerStack = 1 << 20;
constexpr DWORD kOutputDrainMs = 2000;
constexpr int kCancelAttempts = 20;
constexpr DWORD kLookMs = 15000;
constexpr size_t kLongestListing = 1 << 20; // far beyond the header of any video

struct ConverterProcess {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    HANDLE input = nullptr;  // our end of the converter's standard input
    HANDLE output = nullptr; // our end of its standard output and error
};

void CloseIfOpen(HANDLE& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

// A job that ends the converter when the program's last handle to it closes, so that a
// converter never runs on after the program has died.
HANDLE JobThatKillsOnClose() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// Pipes for the converter's standard input and output; only the child's ends inherit.
bool MakePipes(HANDLE& childInput, HANDLE& ourInput, HANDLE& ourOutput, HANDLE& childOutput) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    if (!CreatePipe(&childInput, &ourInput, &inheritable, 0)) return false;
    if (!CreatePipe(&ourOutput, &childOutput, &inheritable, 0)) {
        CloseIfOpen(childInput);
        CloseIfOpen(ourInput);
        return false;
    }
    SetHandleInformation(ourInput, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(ourOutput, HANDLE_FLAG_INHERIT, 0);
    return true;
}

// What the converter is started with: exactly its two pipe ends to inherit and, where the system
// offers it (Windows 10 and later), its job from the very start, so that a program killed at any
// moment leaves no converter behind, not even one not yet let run.
struct ChildAttributes {
    static constexpr DWORD_PTR kJobList = 0x2000D; // PROC_THREAD_ATTRIBUTE_JOB_LIST
    std::unique_ptr<char[]> storage;
    LPPROC_THREAD_ATTRIBUTE_LIST list = nullptr;
    HANDLE handles[2];
    HANDLE job;

    ChildAttributes(HANDLE a, HANDLE b, HANDLE jobToJoin) : handles{a, b}, job(jobToJoin) {
        const DWORD count = job ? 2 : 1;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, count, 0, &size);
        storage = std::make_unique<char[]>(size);
        auto* candidate = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.get());
        if (!InitializeProcThreadAttributeList(candidate, count, 0, &size)) return;
        if (!UpdateProcThreadAttribute(candidate, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                       sizeof handles, nullptr, nullptr)) {
            DeleteProcThreadAttributeList(candidate);
            return;
        }
        list = candidate;
        if (job) UpdateProcThreadAttribute(list, 0, kJobList, &job, sizeof job, nullptr, nullptr);
    }
    ~ChildAttributes() {
        if (list) DeleteProcThreadAttributeList(list);
    }
};

bool CreateHidden(std::string commandLine, HANDLE input, HANDLE output, HANDLE job,
                  PROCESS_INFORMATION& started) {
    ChildAttributes attributes(input, output, job);
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = attributes.list ? sizeof startup : sizeof startup.StartupInfo;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = output;
    startup.lpAttributeList = attributes.list;
    // No console at all: a console host such as Windows Terminal may show one despite SW_HIDE,
    // and the converter needs none, its three standard handles being pipes.
    DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED | CREATE_NO_WINDOW;
    if (attributes.list) flags |= EXTENDED_STARTUPINFO_PRESENT;
    // The command line is a copy: CreateProcessA may write into it.
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                          &startup.StartupInfo, &started);
}

// Starts the converter hidden and suspended in its job, then lets it run. Where the system cannot
// start a process inside a job, it is put there before it runs.
bool StartHidden(const std::string& commandLine, ConverterProcess& child, DWORD& systemError) {
    HANDLE childInput = nullptr, childOutput = nullptr;
    if (!MakePipes(childInput, child.input, child.output, childOutput)) {
        systemError = GetLastError();
        return false;
    }
    child.job = JobThatKillsOnClose();
    PROCESS_INFORMATION started{};
    const bool created =
        (child.job && CreateHidden(commandLine, childInput, childOutput, child.job, started)) ||
        CreateHidden(commandLine, childInput, childOutput, nullptr, started);
    systemError = created ? 0 : GetLastError();
    CloseIfOpen(childInput);
    CloseIfOpen(childOutput);
    if (!created) {
        CloseIfOpen(child.input);
        CloseIfOpen(child.output);
        CloseIfOpen(child.job);
        return false;
    }
    child.process = started.hProcess;
    // Inside a foreign job on old Windows the assignment fails: carry on without.
    BOOL inJob = FALSE;
    if (child.job && !(IsProcessInJob(child.process, child.job, &inJob) && inJob) &&
        !AssignProcessToJobObject(child.job, child.process))
        CloseIfOpen(child.job);
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    return true;
}

// The reading thread's own share of the run: the pipe, which it closes, and the progress record,
// which it keeps alive for as long as it reads.
struct OutputReader {
    HANDLE pipe;
    std::shared_ptr<SharedProgress> shared;
};

// Drains the converter's output continuously, so that it never blocks on a full pipe.
DWORD WINAPI ReadConverterOutput(LPVOID parameter) {
    const std::unique_ptr<OutputReader> reader(static_cast<OutputReader*>(parameter));
    SharedProgress& shared = *reader->shared;
    static constexpr DWORD kChunk = 16384;
    auto buffer = std::make_unique<char[]>(kChunk);
    DWORD got = 0;
    // A read of nothing is the other end writing nothing; only a failed read ends the output.
    while (ReadFile(reader->pipe, buffer.get(), kChunk, &got, nullptr)) {
        if (!got) continue;
        AcquireSRWLockExclusive(&shared.lock);
        if (shared.keepListing)
            shared.listing.append(buffer.get(),
                                  std::min<size_t>(got, kLongestListing - shared.listing.size()));
        else
            FeedConverterOutput(shared.progress, std::string_view(buffer.get(), got));
        ReleaseSRWLockExclusive(&shared.lock);
    }
    AcquireSRWLockExclusive(&shared.lock);
    FinishConverterOutput(shared.progress);
    ReleaseSRWLockExclusive(&shared.lock);
    CloseHandle(reader->pipe);
    return 0;
}

// A stopped run's output is removed anyway, so the converter is ended at once rather than
// asked to finish its file.
void StopAtOnce(const ConverterProcess& child) {
    if (!child.job || !TerminateJobObject(child.job, 1)) TerminateProcess(child.process, 1);
    WaitForSingleObject(child.process, INFINITE);
}

// After the converter has ended its output pipe closes; a process it left behind that still
// holds the pipe is ended with the job, and a read that still does not end is cancelled. Every
// wait is bounded: the run always comes to its end, and a reader that cannot be stopped is left
// with what it owns.
void FinishReading(HANDLE reader, const ConverterProcess& child) {
    if (!reader) return;
    if (WaitForSingleObject(reader, kOutputDrainMs) == WAIT_TIMEOUT && child.job) {
        TerminateJobObject(child.job, 1);
        WaitForSingleObject(reader, kOutputDrainMs);
    }
    // A cancel that arrives between two reads is lost: it is repeated a while.
    for (int attempt = 0; attempt < kCancelAttempts && WaitForSingleObject(reader, 0) == WAIT_TIMEOUT;
         ++attempt) {
        CancelSynchronousIo(reader);
        WaitForSingleObject(reader, 100);
    }
    CloseHandle(reader);
}

// A thread that reads what the converter writes into `shared`; null when none could be made.
HANDLE StartReader(ConverterProcess& child, const std::shared_ptr<SharedProgress>& shared) {
    auto* readerState = new OutputReader{child.output, shared};
    HANDLE reader = CreateThread(nullptr, 64 * 1024, ReadConverterOutput, readerState, 0, nullptr);
    if (reader) {
        child.output = nullptr; // the reader's now
    } else {
        // Without a reader the converter would block on a full pipe: let it write nowhere.
        delete readerState;
        CloseIfOpen(child.output);
    }
    return reader;
}

void CloseProcess(ConverterProcess& child) {
    CloseIfOpen(child.input);
    CloseIfOpen(child.output);
    CloseIfOpen(child.process);
    CloseIfOpen(child.job);
}

DWORD SuperviseConverter(ConverterRun& run, ConverterProcess& child) {
    HANDLE reader = StartReader(child, run.shared);
    const HANDLE waits[2] = {child.process, run.stopEvent};
    DWORD result = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    const bool stopped = result == WAIT_OBJECT_0 + 1;
    if (stopped) StopAtOnce(child);
    result = WAIT_OBJECT_0;
    GetExitCodeProcess(child.process, &run.exitCode);
    FinishReading(reader, child);

    const ConverterProgress said = ProgressSnapshot(run);
    run.errorLines = ErrorLines(said);
    run.outputWriteFailed = said.outputWriteFailed;
    // Some converters end with 0 even when they could not finish writing the output.
    const bool failed = run.exitCode != 0 || said.outputWriteFailed;
    run.outcome = stopped ? RunOutcome::Stopped : failed ? RunOutcome::Failed : RunOutcome::Succeeded;
    return result;
}

// Holds the input open for reading only while the converter runs: whatever the parameters say
// (an output that is the input under another spelling, a link to it), the converter can
// neither write nor delete it, and such a run fails instead of destroying the video.
HANDLE ProtectInput(const std::string& inputFile) {
    return CreateFileW(FileApiPath(inputFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

std::string SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text ? text : L"", length);
    if (text) LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.pop_back();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size_t(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), result.data(), size, nullptr, nullptr);
    return result.empty() ? "error " + std::to_string(error) : result;
}

MediaLook LookAtInput(const std::string& programFolder, const std::string& inputFile, HANDLE stop) {
    ConverterProcess child;
    DWORD error = 0;
    if (!StartHidden(LookCommandLine(programFolder, inputFile), child, error)) return {};
    auto shared = std::make_shared<SharedProgress>();
    shared->keepListing = true;
    HANDLE reader = StartReader(child, shared);
    // It only reads the file's header; one that takes longer is given up on, as is one no longer wanted.
    const HANDLE waits[2] = {child.process, stop};
    if (WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, kLookMs) != WAIT_OBJECT_0) StopAtOnce(child);
    FinishReading(reader, child);
    CloseProcess(child);
    AcquireSRWLockShared(&shared->lock);
    const std::string listing = shared->listing;
    ReleaseSRWLockShared(&shared->lock);
    return ReadMediaListing(listing);
}

DWORD WINAPI RunConverter(LPVOID parameter) {
    ConverterRun& run = *static_cast<ConverterRun*>(parameter);
    const HANDLE inputLock = ProtectInput(run.request.inputFile);
    const bool custom = run.request.mode != 0 && run.request.mode != 1;
    if (!custom) run.request.look = AwaitLook(run.request.inputFile, run.stopEvent);
    const bool stopped = WaitForSingleObject(run.stopEvent, 0) == WAIT_OBJECT_0;
    run.request.processors = static_cast<int>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
    const ConversionPlan plan = PlanOf(run.request);
    run.commandLine = BuildConverterCommandLine(run.programFolder, run.request, plan);
    run.leftOut = plan.leftOut;
    run.changed = plan.changed;
    run.refusal = plan.refusal;
    run.advice = plan.advice;
    run.converterPath = ConverterLocation(run.programFolder);
    // The converter tells the length of the input only where its lines are not tagged: the look knows it.
    if (run.request.look) {
        AcquireSRWLockExclusive(&run.shared->lock);
        run.shared->progress.durationSeconds = run.request.look->durationSeconds;
        ReleaseSRWLockExclusive(&run.shared->lock);
    }

    DWORD result = 0;
    ConverterProcess child;
    if (stopped) {
        run.outcome = RunOutcome::Stopped;
    } else if (!plan.refusal.empty()) {
        run.outcome = RunOutcome::Refused; // no converter runs, so nothing is logged
    } else {
        WriteProcessingLog(run.commandLine);
        if (StartHidden(run.commandLine, child, run.systemError)) {
            result = SuperviseConverter(run, child);
        } else {
            run.outcome = RunOutcome::CouldNotStart;
            run.systemErrorText = SystemErrorText(run.systemError);
        }
    }
    CloseProcess(child);
    if (inputLock != INVALID_HANDLE_VALUE) CloseHandle(inputLock);
    // The last touch of the run: from here on the user-interface thread owns it again.
    bConverting.store(0);
    return result;
}

bool StartConversionWorker(ConverterRun& run) {
    run.stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!run.stopEvent) return false;
    run.worker = CreateThread(nullptr, kWorkerStack, RunConverter, &run, 0, nullptr);
    if (!run.worker) {
        CloseIfOpen(run.stopEvent);
        return false;
    }
    return true;
}

void RequestConverterStop(ConverterRun& run) {
    if (run.stopEvent) SetEvent(run.stopEvent);
}

ConverterProgress ProgressSnapshot(ConverterRun& run) {
    AcquireSRWLockShared(&run.shared->lock);
    ConverterProgress copy = run.shared->progress;
    ReleaseSRWLockShared(&run.shared->lock);
    return copy;
}

void ReleaseConverterRun(ConverterRun& run) {
    CloseIfOpen(run.stopEvent);
    CloseIfOpen(run.worker);
}
