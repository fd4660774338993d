// One run of the converter on a worker thread: the input held, its look awaited, the plan made, the
// command line logged, the converter run hidden and the outcome recorded; and the look at an input.
// The worker clears bConverting as its very last act.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "convert/child_process.h"
#include "convert/command_line.h"
#include "convert/progress.h"

enum class RunOutcome {
    Succeeded,     // the converter ended with exit code 0
    CouldNotStart, // the converter program could not be started
    Failed,        // the converter ended with another exit code or could not write the output
    Stopped,       // the user stopped the run
    Refused,       // the output type cannot hold the video as the mode would write it: not started
};

// Everything the worker needs and leaves behind. The user-interface thread fills the
// inputs before the worker starts and reads the results only after bConverting is 0.
struct ConverterRun {
    // Inputs, copied from the program state before the worker starts.
    ConversionRequest request;
    std::string programFolder; // process code page, no trailing backslash

    // Results.
    RunOutcome outcome = RunOutcome::CouldNotStart;
    std::string commandLine;
    std::string converterPath;
    std::string systemErrorText; // the system's words for it
    DWORD exitCode = 0;
    std::vector<std::string> errorLines; // the converter's words for what failed (UTF-8)
    bool outputWriteFailed = false;      // it said it could not write the output
    std::string leftOut;                 // what the output type could not hold, in the user's words
    std::string changed;                 // what the fast mode converted after all
    std::string refusal, advice;         // why the run was refused, and what the user can do

    // Shared while the run goes on.
    HANDLE stopEvent = nullptr;
    HANDLE worker = nullptr; // signalled once the worker has ended, bConverting cleared before
    std::shared_ptr<ChildOutput> shared = std::make_shared<ChildOutput>();
};

// The worker's entry: performs one run for the ConverterRun it is given: the look at the input
// (taken when it was loaded, or waited for now), the command line, the log, the converter. A stop
// ends it in any of these steps, and no converter starts after it.
DWORD WINAPI RunConverter(LPVOID run);

// Starts the worker (1 MB stack) and keeps its thread handle in `run.worker`, to be waited
// on; false when no thread could be made. The caller sets bConverting first and keeps `run`
// alive until it is 0.
bool StartConversionWorker(ConverterRun& run);

// Stops the running converter at once.
void RequestConverterStop(ConverterRun& run);

// A copy of what the converter has reported so far; safe at any moment of the run.
ConverterProgress ProgressSnapshot(ConverterRun& run);

// Releases what StartConversionWorker made, once bConverting is 0.
void ReleaseConverterRun(ConverterRun& run);
