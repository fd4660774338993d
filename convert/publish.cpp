#include "convert/publish.h"

#include <windows.h>

#include <memory>
#include <string>

#include "app/globals.h"
#include "app/program_folder.h"
#include "app/text.h"
#include "convert/converter_run.h"
#include "convert/output_place.h"
#include "convert/progress_window.h"
#include "convert/publish_logic.h"
#include "convert/run_end.h"
#include "files/same_file.h"
#include "mainwin/main_ids.h"
#include "toolkit/toolkit.h"

namespace {

bool RefusedByGuards() {
    if (TrimBlanks(sInputFile).empty()) {
        MessageBoxA(nullptr, "Input file not found", "Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (TrimBlanks(sOutputFile).empty()) {
        MessageBoxA(nullptr, "Output file not found", "Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (const std::wstring why = WhyNotAnOutput(sInputFile, sOutputFile); !why.empty()) {
        ShowAttention(hMainDlg, why);
        return true;
    }
    return false;
}

void TellOutcome(const ConverterRun& run, const OutputPlace& place, const SettledOutput& settled) {
    if (ExitAfterRun()) return; // the program is closing: nothing more to say
    FlashWhenInBackground();
    switch (run.outcome) {
    case RunOutcome::Succeeded:
        if (settled.end == OutputEnd::KeptBeside) {
            ShowAttention(hMainDlg, WideFrom(KeptBesideMessageOf(place, settled), CP_UTF8));
        } else if (bNotifyFinished == 1) {
            // What the output type could not hold follows the message in a paragraph of its own.
            std::string text = "Output conversion process finished";
            for (const std::string* also : {&run.leftOut, &run.changed})
                if (!also->empty()) text += "\r\n\r\n" + *also;
            MessageBoxW(hMainDlg, WideFrom(text, CP_UTF8).c_str(), L"Information",
                        MB_OK | MB_ICONINFORMATION);
            bNotifyFinished = 0;
        }
        break;
    case RunOutcome::Stopped:
        MessageBoxA(hMainDlg, "Conversion cancelled", "Information", MB_OK | MB_ICONINFORMATION);
        break;
    case RunOutcome::Refused:
        ShowAttention(hMainDlg, WideFrom(RefusalMessage(run.refusal, run.advice), CP_UTF8));
        break;
    case RunOutcome::CouldNotStart:
        ShowAttention(hMainDlg, WideFrom(CouldNotStartMessage(Utf8Of(run.converterPath), run.systemErrorText),
                                         CP_UTF8));
        break;
    case RunOutcome::Failed:
        ShowAttention(hMainDlg, WideFrom(FailureMessage(run, place, settled), CP_UTF8));
        break;
    }
    bNotifyFinished = 0;
}

} // namespace

void PublishVideo() {
    // A second run inside the first one's wait would share its flag and its window.
    if (PublishInProgress() || bConverting) {
        MessageBeep(0);
        return;
    }
    Sleep(100);
    if (RefusedByGuards()) return;

    nCompression = CompressionFromItemText(GetSelectedListText(hMainDlg, ID_COMPRESSION));
    sCrf = CrfFromCompression(nCompression);
    sCustomParams = GetItemText(hMainDlg, ID_CUSTOM_PARAMS);

    // The worker gets its own copy of the choices: later changes in the window do not reach it.
    auto run = std::make_unique<ConverterRun>();
    const OutputPlace place = PrepareOutput(sOutputFile);
    run->request = {nMode, sCrf, sCustomParams, sInputFile, place.written};
    run->programFolder = ToCodePage(ProgramFolder());

    HFONT pleaseWaitFont = NewFont("Times New Roman", 20, false, false, false, false, ANSI_CHARSET);
    HWND window = ShowProgressWindow(pleaseWaitFont, false);
    Animation animation;
    animation.start = MonotonicSeconds();
    animation.progress = [&](double elapsed) {
        const ConverterProgress said = ProgressSnapshot(*run);
        return std::pair{ProgressLabel(said, elapsed), FractionDone(said)};
    };
    bConverting = 1;
    SetTextOf(window, "Convert Video");
    // Painted now, so that even a run that ends at once shows its window for a pass.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    WatchRun(run.get());
    ForgetStopAnswers();
    if (!StartConversionWorker(*run)) {
        const DWORD error = GetLastError();
        bConverting = 0;
        WatchRun(nullptr);
        DestroyWindow(window);
        ReleaseFont(pleaseWaitFont);
        ShowAttention(hMainDlg,
                      L"The conversion could not be started (system error " + std::to_wstring(error) + L").");
        return;
    }
    bNotifyFinished = 1;
    {
        TaskbarProgress taskbar;
        AnimateUntilWorkerEnds(window, animation, *run, taskbar);
    }
    WatchRun(nullptr);
    DestroyWindow(window);
    ReleaseFont(pleaseWaitFont);
    ReleaseConverterRun(*run);
    const SettledOutput settled = Settle(*run, place);
    TellOutcome(*run, place, settled);
}
