#include "convert/batch.h"

#include <algorithm>
#include <numeric>

#include "base/text.h"
#include "convert/output_file.h"
#include "convert/progress.h"

namespace {

std::string Joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path.append(name);
}

} // namespace

std::vector<PlannedVideo>
PlanOutputs(const std::vector<std::string>& inputs, std::string_view folder, std::string_view extension,
            const std::function<bool(const std::string&)>& exists,
            const std::function<bool(const std::string&, const std::string&)>& sameFile) {
    std::vector<PlannedVideo> plan;
    std::vector<std::string> taken;
    const auto free = [&](const std::string& path) {
        return !exists(path) && std::none_of(taken.begin(), taken.end(),
                                             [&](const std::string& t) { return SameIgnoringCase(t, path); });
    };
    for (const std::string& input : inputs) {
        const std::string stem(StemOf(input));
        std::string output = Joined(folder, stem + std::string(extension));
        if (sameFile(input, output)) {
            plan.push_back({input, ""});
            continue;
        }
        const std::string first = output;
        for (int n = 2; !free(output); ++n)
            output = NumberedName(first, n);
        taken.push_back(output);
        plan.push_back({input, output});
    }
    return plan;
}

std::string LoadedVideosText(const std::vector<std::string>& paths) {
    if (paths.size() == 1) return paths.front();
    std::string text = std::to_string(paths.size()) + " videos: ";
    for (size_t i = 0; i < paths.size(); ++i)
        text.append(i ? ", " : "").append(i ? FileNameOf(paths[i]) : std::string_view(paths[i]));
    return text;
}

std::string VideoOfBatchText(size_t index, size_t count, std::string_view path) {
    return std::to_string(index + 1) + " of " + std::to_string(count) + ": " + std::string(FileNameOf(path));
}

namespace {

// Each video's length, an unknown one taken as the average of the known ones.
std::vector<double> Lengths(const BatchProgress& batch) {
    double known = 0;
    size_t count = 0;
    for (const auto& length : batch.lengths)
        if (length && *length > 0) known += *length, ++count;
    const double average = count ? known / double(count) : 1;
    std::vector<double> lengths;
    for (const auto& length : batch.lengths)
        lengths.push_back(length && *length > 0 ? *length : average);
    return lengths;
}

double Done(const BatchProgress& batch, const std::vector<double>& lengths) {
    const size_t finished = std::min(batch.current, lengths.size());
    double done = std::accumulate(lengths.begin(), lengths.begin() + long(finished), 0.0);
    if (batch.current < lengths.size()) done += std::clamp(batch.position, 0.0, lengths[batch.current]);
    return done;
}

} // namespace

double BatchFractionDone(const BatchProgress& batch) {
    const std::vector<double> lengths = Lengths(batch);
    const double total = std::accumulate(lengths.begin(), lengths.end(), 0.0);
    return total > 0 ? std::clamp(Done(batch, lengths) / total, 0.0, 1.0) : 0;
}

std::optional<double> BatchSecondsLeft(const BatchProgress& batch, double elapsedSeconds) {
    const std::vector<double> lengths = Lengths(batch);
    const double total = std::accumulate(lengths.begin(), lengths.end(), 0.0), done = Done(batch, lengths);
    if (!(done > 0) || !(elapsedSeconds > 0)) return std::nullopt;
    return (total - done) * elapsedSeconds / done;
}

std::string BatchProgressLabel(const BatchProgress& batch, double elapsedSeconds) {
    std::string label = std::to_string(int(BatchFractionDone(batch) * 100 + 1e-9)) + "%";
    if (const auto left = BatchSecondsLeft(batch, elapsedSeconds)) label += "  " + ClockText(*left) + " left";
    return label;
}

namespace {

// A closing message stays a few lines tall however long the batch: videos that ended for the same
// reason share a line, which names a few of them, and only the first reasons are told.
constexpr size_t kNamesPerLine = 3;
constexpr size_t kReasonLines = 8;
constexpr size_t kLongestReason = 200; // bytes of one reason shown

std::string FewNames(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < kNamesPerLine; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > kNamesPerLine)
        text += " and " + std::to_string(names.size() - kNamesPerLine) + " more";
    return text;
}

std::string Shortened(const std::string& reason) {
    if (reason.size() <= kLongestReason) return reason;
    size_t cut = kLongestReason;
    while (cut > 0 && (static_cast<unsigned char>(reason[cut]) & 0xC0) == 0x80) // not inside a character
        --cut;
    return reason.substr(0, cut) + "...";
}

// "\r\na.mp4, b.mp4: reason" for each reason, in the order the reasons first came.
std::string GroupedByReason(const std::vector<std::pair<std::string, std::string>>& namesAndReasons) {
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;
    for (const auto& [name, reason] : namesAndReasons) {
        auto group =
            std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == reason; });
        if (group == groups.end()) group = groups.insert(groups.end(), {reason, {}});
        group->second.push_back(name);
    }
    std::string text;
    size_t untold = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        if (i < kReasonLines)
            text += "\r\n" + FewNames(groups[i].second) + ": " + Shortened(groups[i].first);
        else
            untold += groups[i].second.size();
    }
    if (untold) text += "\r\n" + std::to_string(untold) + " more for other reasons";
    return text;
}

} // namespace

ClosingMessage BatchClosingMessage(const std::vector<VideoResult>& results, bool stopped) {
    std::vector<std::string> converted;
    std::vector<std::pair<std::string, std::string>> notConverted, leftOut, changed;
    for (const VideoResult& result : results) {
        const std::string name(FileNameOf(result.input));
        if (result.converted && !result.leftOut.empty())
            leftOut.emplace_back(name, result.leftOut.substr(result.leftOut.find(": ") + 2));
        if (result.converted && !result.changed.empty()) changed.emplace_back(name, result.changed);
        if (result.converted)
            converted.push_back(name);
        else // a video without a reason was never started: the batch was stopped before it
            notConverted.emplace_back(name, result.reason.empty() ? "not started" : result.reason);
    }
    const bool all = converted.size() == results.size();
    std::string text = stopped ? "Conversion cancelled. " : "";
    text += all ? std::to_string(results.size()) + " videos converted."
                : std::to_string(converted.size()) + " of " + std::to_string(results.size()) +
                      " videos converted";
    if (!all && stopped && !converted.empty()) text += ": " + FewNames(converted);
    if (!all) text += ".";
    if (!notConverted.empty()) text += "\r\n\r\nNot converted:" + GroupedByReason(notConverted);
    if (!leftOut.empty()) text += "\r\n\r\nLeft out:" + GroupedByReason(leftOut);
    if (!changed.empty()) text += "\r\n\r\nConverted after all:" + GroupedByReason(changed);
    return {all ? "Information" : "Attention", text};
}

ClosingMessage ClosingMessageFor(const std::vector<VideoResult>& results, bool stopped) {
    if (results.size() != 1) return BatchClosingMessage(results, stopped);
    const VideoResult& video = results.front();
    if (!video.converted && (stopped || video.reason == "stopped"))
        return {"Information", "Conversion cancelled"};
    if (!video.message.empty()) return {"Attention", video.message};
    // What the output type could not hold follows in a paragraph of its own.
    std::string text = "Output conversion process finished";
    for (const std::string* also : {&video.leftOut, &video.changed})
        if (!also->empty()) text += "\r\n\r\n" + *also;
    return {"Information", text};
}
