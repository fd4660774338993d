// The progress window of a run or a batch: frames, squares, the time taken, the share done and
// the time left, and a Stop button; the stop question it asks; the taskbar button that mirrors
// it. User-interface thread only.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "base/globals.h"
#include "convert/converter_run.h"
#include "convert/publish_logic.h"

// The taskbar button of the main window mirrors the progress where the system offers it.
struct TaskbarProgress {
    ITaskbarList3* list = nullptr;

    TaskbarProgress() {
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                    reinterpret_cast<void**>(&list))))
            list = nullptr;
        if (list && FAILED(list->HrInit())) Release();
    }
    ~TaskbarProgress() {
        if (list) list->SetProgressState(hMainDlg, TBPF_NOPROGRESS);
        Release();
    }
    void Show(double fraction) {
        if (!list) return;
        list->SetProgressState(hMainDlg, TBPF_NORMAL);
        list->SetProgressValue(hMainDlg, static_cast<ULONGLONG>(fraction * 1000), 1000);
    }
    void Release() {
        if (list) list->Release();
        list = nullptr;
    }
};

struct Animation {
    GreenCascade levels = kCascadeStart;
    GreenCascade shownLevels = {-1, -1, -1, -1, -1}; // none shown yet: the first pass paints all
    int frame = 0;
    int pass = 0;
    double start = 0;
    std::string shownTime;
    std::string shownProgress;
    // What the percentage label and the taskbar show, from the seconds since the start.
    std::function<std::pair<std::string, std::optional<double>>(double elapsed)> progress;
};

double MonotonicSeconds();

// Shows the progress window, not modal; a batch's window is a line taller: it names the video.
HWND ShowProgressWindow(HFONT pleaseWaitFont, bool batch);

// Animates the window until the worker of `run` has ended, letting the thread's messages through.
void AnimateUntilWorkerEnds(HWND window, Animation& animation, ConverterRun& run, TaskbarProgress& taskbar);

// The run that the window's stop question stops (none between runs and after the last); a new
// publish forgets earlier answers.
void WatchRun(ConverterRun* run);
void ForgetStopAnswers();
// The user said Yes to the stop question: a batch starts no further video.
bool StopChosen();
