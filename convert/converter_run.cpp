#include "convert/converter_run.h"

#include <algorithm>
#include <utility>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/text.h"
#include "convert/looks.h"
#include "convert/processing_log.h"

namespace {

constexpr DWORD kWorkerStack = 1 << 20;

// Holds the input open for reading only while the converter runs: whatever the parameters say
// (an output that is the input under another spelling, a link to it), the converter can
// neither write nor delete it, and such a run fails instead of destroying the video.
HANDLE ProtectInput(const std::string& inputFile) {
    return CreateFileW(FileApiPath(inputFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool StopAsked(const ConverterRun& run) {
    return WaitForSingleObject(run.stopEvent, 0) == WAIT_OBJECT_0;
}

// The picture stream a copy starts with: the first that is no cover.
std::optional<int> MainVideoOf(const std::optional<MediaLook>& look) {
    if (look)
        for (const StreamLook& stream : look->streams)
            if (stream.kind == StreamKind::Video && !stream.attachedPicture) return stream.index;
    return std::nullopt;
}

// The key picture a copy of the part starts at, as the converter finds it; nothing when it cannot say.
std::optional<double> KeyPictureOf(const ConverterRun& run, int videoStream) {
    const double from = *run.request.part.from;
    const std::optional<std::string> said =
        OutputOfHidden(KeyPictureCommandLine(run.programFolder, run.request.inputFile, from, videoStream),
                       run.stopEvent, kLookMs);
    return said ? KeyPictureAt(from, *said) : std::nullopt;
}

// The progress counts the part kept: from its start to To or the end, whichever comes first.
void CountThePart(ConverterRun& run) {
    const Part& part = run.request.part;
    const double start = run.request.keyPicture.value_or(part.from.value_or(0));
    double end = -1; // not known
    if (run.request.look && run.request.look->durationSeconds) end = *run.request.look->durationSeconds;
    if (part.to) end = end < 0 ? *part.to : std::min(end, *part.to);
    // The converter tells the length of the input only where its lines are not tagged: the look knows it.
    AcquireSRWLockExclusive(&run.shared->lock);
    if (end >= 0) run.shared->progress.durationSeconds = std::max(0.0, end - start);
    ReleaseSRWLockExclusive(&run.shared->lock);
}

// The plan of the run, from the look at its input (waited for, unless the custom mode needs none),
// and for a copy of a part from the key picture it starts at, unless the plan refuses anyway.
ConversionPlan PlanRun(ConverterRun& run) {
    run.request.processors = static_cast<int>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
    if (run.request.mode != Mode::Custom) run.request.look = AwaitLook(run.request.inputFile, run.stopEvent);
    ConversionPlan plan = PlanOf(run.request);
    const std::optional<int> video = MainVideoOf(run.request.look);
    if (run.request.mode == Mode::Fast && run.request.part.from > 0.0 && video && plan.refusal.empty() &&
        !StopAsked(run)) {
        run.request.keyPicture = KeyPictureOf(run, *video);
        plan = PlanOf(run.request);
    }
    if (run.request.mode != Mode::Custom) CountThePart(run);
    run.commandLine = BuildConverterCommandLine(run.programFolder, run.request, plan);
    run.converterPath = ConverterLocation(run.programFolder);
    run.leftOut = plan.leftOut;
    run.changed = plan.changed;
    run.refusal = plan.refusal;
    run.advice = plan.advice;
    return plan;
}

void RunTheConverter(ConverterRun& run) {
    WriteProcessingLog(run.commandLine);
    const ChildResult child = RunHidden(run.commandLine, run.stopEvent, INFINITE, run.shared);
    run.exitCode = child.exitCode;
    if (child.end == ChildEnd::NotStarted) {
        run.outcome = RunOutcome::CouldNotStart;
        run.systemErrorText = SystemErrorText(child.systemError);
        return;
    }
    const ConverterProgress said = ProgressSnapshot(run);
    run.errorLines = ErrorLines(said);
    run.outputWriteFailed = said.outputWriteFailed;
    // Some converters end with 0 even when they could not finish writing the output.
    const bool failed = run.exitCode != 0 || said.outputWriteFailed;
    run.outcome = child.end == ChildEnd::Stopped ? RunOutcome::Stopped
                  : failed                       ? RunOutcome::Failed
                                                 : RunOutcome::Succeeded;
    // A part that starts past the end of a video whose length was not known gives an empty file.
    // (Its time stays at zero; one picture written also shows a time of zero, but a count of one.)
    const bool nothingWritten = !(said.positionSeconds > 0.0) && !(said.pictures > 0.0);
    if (run.outcome == RunOutcome::Succeeded && !run.request.part.whole() && nothingWritten) {
        run.outcome = RunOutcome::Refused;
        run.refusal = "nothing of it lies between From and To: From is at or past the end of the video";
        run.advice = "Choose an earlier From, or leave it empty to start at the beginning.";
    }
}

} // namespace

DWORD WINAPI RunConverter(LPVOID parameter) {
    ConverterRun& run = *static_cast<ConverterRun*>(parameter);
    const HANDLE inputLock = ProtectInput(run.request.inputFile);
    const ConversionPlan plan = PlanRun(run);
    if (StopAsked(run))
        run.outcome = RunOutcome::Stopped; // no converter starts after a stop
    else if (!plan.refusal.empty())
        run.outcome = RunOutcome::Refused; // no converter runs, so nothing is logged
    else
        RunTheConverter(run);
    if (inputLock != INVALID_HANDLE_VALUE) CloseHandle(inputLock);
    // The last touch of the run: from here on the user-interface thread owns it again.
    bConverting.store(0);
    return 0;
}

bool StartConversionWorker(ConverterRun& run) {
    run.stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!run.stopEvent) return false;
    run.worker = CreateThread(nullptr, kWorkerStack, RunConverter, &run, 0, nullptr);
    if (!run.worker) {
        const DWORD error = GetLastError();
        CloseHandle(std::exchange(run.stopEvent, nullptr));
        SetLastError(error); // the caller tells why
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
    for (HANDLE* handle : {&run.stopEvent, &run.worker})
        if (*handle) CloseHandle(std::exchange(*handle, nullptr));
}
