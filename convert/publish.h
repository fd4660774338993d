// The Publish command's flow: crf and custom parameters from the main window, the progress
// window, the conversion worker, and the message that says how the run ended.
#pragma once

#include <vector>

#include "convert/batch.h"

enum ProgressControlId : int {
    ID_PROGRESS_IMAGE = 101,
    ID_PROGRESS_SQUARE1 = 201,
    ID_PROGRESS_SQUARE2 = 202,
    ID_PROGRESS_SQUARE3 = 203,
    ID_PROGRESS_SQUARE4 = 204,
    ID_PROGRESS_SQUARE5 = 205,
    ID_PROGRESS_TEXT = 207,
    ID_PROGRESS_TIME = 320,
    ID_PROGRESS_PERCENT = 321,
    ID_PROGRESS_STOP = 322,
    ID_PROGRESS_VIDEO = 323,
};

// Converts sInputFile into sOutputFile with the main window's choices. Returns when the
// run is over and its closing message has been answered; refuses (with a beep) to start
// while another conversion runs.
void PublishVideo();

// Converts several videos one after the other in one progress window, each as PublishVideo
// would, skipping those planned without an output. A video that fails does not stop the batch;
// a stop ends it. One closing message says how many were converted and why others were not.
void PublishBatch(const std::vector<PlannedVideo>& plan);

// True from the moment Publish starts a run until its closing message has been shown: also
// while the run's stop question is up after the converter has already ended.
bool PublishInProgress();

// The user leaves the program during a run: the run is stopped at once, its output removed as
// for any stopped run, and no closing message is shown. ExitAfterRun() then stays true.
void StopRunForExit();
bool ExitAfterRun();
