// The Publish command's flow, for one video or several: the crf and custom parameters the main
// window gives, the progress window, a conversion worker per video, and the message that says how
// it went. One video is a batch of one, told in the words of its own outcome.
#pragma once

#include <string>
#include <vector>

#include "convert/batch.h"
#include "convert/part.h"

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

// What the main window holds at Publish: the selected compression item and the custom parameters.
struct PublishChoices {
    std::string compressionItem;
    std::string customParams;
    Part part = {}; // of a video converted alone; several are converted whole
};

// Converts the planned videos one after the other in one progress window, skipping those planned
// without an output, in the mode nMode holds. A video that fails does not stop the others; a stop
// ends them. Returns when it is over and its closing message has been answered; refuses (with a
// beep) to start while another conversion runs.
void PublishVideos(const std::vector<PlannedVideo>& plan, const PublishChoices& choices);

// True from the moment Publish starts a run until its closing message has been shown: also
// while the run's stop question is up after the converter has already ended.
bool PublishInProgress();

// The user leaves the program during a run: the run is stopped at once, its output removed as
// for any stopped run, and no closing message is shown. ExitAfterRun() then stays true.
void StopRunForExit();
bool ExitAfterRun();
