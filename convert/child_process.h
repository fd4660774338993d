// A hidden child process, as the converter is started both for a look at an input and for a
// conversion: inside a job that ends it with the program, its standard input and output on pipes,
// its output read continuously on a thread of its own, ended at once when asked to stop.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "convert/progress.h"

// What the child writes to its standard output and error. It is shared with the thread that reads
// it, which may outlive the child's run when its read cannot be ended.
struct ChildOutput {
    SRWLOCK lock = SRWLOCK_INIT;
    ConverterProgress progress; // what a conversion has said so far
    bool keepText = false;      // a look at an input keeps the text itself instead
    std::string text;
};

enum class ChildEnd {
    Ended,      // it ended by itself (exitCode says how)
    Stopped,    // `stop` was signalled: it was ended at once
    TimedOut,   // it ran longer than allowed, or could not be waited for: it was ended at once
    NotStarted, // it could not be started (systemError says why)
};
struct ChildResult {
    ChildEnd end = ChildEnd::NotStarted;
    DWORD exitCode = 0;
    DWORD systemError = 0;
};

// Runs the command line hidden until it ends, `stop` (may be null) is signalled or `timeoutMs`
// (INFINITE for none) has passed; every wait after that is bounded.
ChildResult RunHidden(const std::string& commandLine, HANDLE stop, DWORD timeoutMs,
                      const std::shared_ptr<ChildOutput>& output);

// All the child wrote, once it has ended by itself within `timeoutMs`; nothing when it was stopped,
// overran or could not start.
std::optional<std::string> OutputOfHidden(const std::string& commandLine, HANDLE stop, DWORD timeoutMs);
