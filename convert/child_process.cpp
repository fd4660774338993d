#include "convert/child_process.h"

#include <algorithm>

namespace {

constexpr DWORD kOutputDrainMs = 2000;
constexpr int kCancelAttempts = 20;
constexpr size_t kLongestText = 1 << 20; // far beyond the header of any video

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
    std::shared_ptr<ChildOutput> shared;
};

// Drains the converter's output continuously, so that it never blocks on a full pipe.
DWORD WINAPI ReadConverterOutput(LPVOID parameter) {
    const std::unique_ptr<OutputReader> reader(static_cast<OutputReader*>(parameter));
    ChildOutput& shared = *reader->shared;
    static constexpr DWORD kChunk = 16384;
    auto buffer = std::make_unique<char[]>(kChunk);
    DWORD got = 0;
    // A read of nothing is the other end writing nothing; only a failed read ends the output.
    while (ReadFile(reader->pipe, buffer.get(), kChunk, &got, nullptr)) {
        if (!got) continue;
        AcquireSRWLockExclusive(&shared.lock);
        if (shared.keepText)
            shared.text.append(buffer.get(), std::min<size_t>(got, kLongestText - shared.text.size()));
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
HANDLE StartReader(ConverterProcess& child, const std::shared_ptr<ChildOutput>& shared) {
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

} // namespace

ChildResult RunHidden(const std::string& commandLine, HANDLE stop, DWORD timeoutMs,
                      const std::shared_ptr<ChildOutput>& output) {
    ChildResult result;
    ConverterProcess child;
    if (!StartHidden(commandLine, child, result.systemError)) return result;
    HANDLE reader = StartReader(child, output);
    const HANDLE waits[2] = {child.process, stop};
    const DWORD waited = WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, timeoutMs);
    // A wait that failed is no stop the user asked for: the child is ended as when it overran.
    result.end = waited == WAIT_OBJECT_0       ? ChildEnd::Ended
                 : waited == WAIT_OBJECT_0 + 1 ? ChildEnd::Stopped
                                               : ChildEnd::TimedOut;
    if (result.end != ChildEnd::Ended) StopAtOnce(child);
    GetExitCodeProcess(child.process, &result.exitCode);
    FinishReading(reader, child);
    CloseProcess(child);
    return result;
}

std::optional<std::string> OutputOfHidden(const std::string& commandLine, HANDLE stop, DWORD timeoutMs) {
    auto output = std::make_shared<ChildOutput>();
    output->keepText = true;
    if (RunHidden(commandLine, stop, timeoutMs, output).end != ChildEnd::Ended) return std::nullopt;
    AcquireSRWLockShared(&output->lock);
    std::string text = output->text;
    ReleaseSRWLockShared(&output->lock);
    return text;
}
