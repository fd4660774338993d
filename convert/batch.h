// Several videos in one go: where each one's output goes, what the progress window and the
// main window say of the batch, and the message that ends it. No Windows headers here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What becomes of one video of a batch: its output, or why it is skipped.
struct PlannedVideo {
    std::string input;
    std::string output; // empty when skipped
};

// Each video becomes `<folder>\<its own name><extension>`. A batch never overwrites a file: a
// name that exists, or that an earlier video of the batch takes, gets the next free one,
// "name (2).ext", "name (3).ext". A video whose output would be the video itself is skipped.
std::vector<PlannedVideo>
PlanOutputs(const std::vector<std::string>& inputs, std::string_view folder, std::string_view extension,
            const std::function<bool(const std::string&)>& exists,
            const std::function<bool(const std::string&, const std::string&)>& sameFile);

// The main window's path label for loaded videos: the path itself for one, else
// "3 videos: D:\Clips\a.mp4, b.mov, c.avi".
std::string LoadedVideosText(const std::vector<std::string>& paths);

// The progress window's line for the video being converted: "2 of 5: b.mov".
std::string VideoOfBatchText(size_t index, size_t count, std::string_view path);

// The share of a batch done and the time it still takes, counted in the videos' lengths as the
// converter reports them. A video whose length is not known yet counts as long as the average
// of those that are (all alike while none is). The time left comes from the pace of the whole
// batch so far, so it does not jump from one video to the next.
struct BatchProgress {
    std::vector<std::optional<double>> lengths; // seconds, per video to convert
    size_t current = 0;                         // the video being converted; the earlier ones are over
    double position = 0;                        // seconds of the current video done
};
double BatchFractionDone(const BatchProgress& batch);
std::optional<double> BatchSecondsLeft(const BatchProgress& batch, double elapsedSeconds);
// "42%  00:01:10 left", or "42%" while the time left is unknown.
std::string BatchProgressLabel(const BatchProgress& batch, double elapsedSeconds);

// How one video of a batch ended.
struct VideoResult {
    std::string input;
    bool converted = false;
    std::string reason; // why not: the converter's last error line, or what else happened; empty: not started
    std::string leftOut = {}; // "Left out: ...": what the output type could not hold
    std::string changed = {}; // "The sound (PCM) was converted to AAC: ...": what the fast mode converted
    std::string message = {}; // the whole words a video converted alone is told with, when not the usual
};
struct ClosingMessage {
    std::string caption; // "Information" when every video was converted, else "Attention"
    std::string text;
};
ClosingMessage BatchClosingMessage(const std::vector<VideoResult>& results, bool stopped);
// The message that ends a publish: a video converted alone is told in the words of its own outcome
// ("Output conversion process finished", with what was left out or converted after all), several
// as a batch.
ClosingMessage ClosingMessageFor(const std::vector<VideoResult>& results, bool stopped);
