#include "convert/looks.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <utility>

#include "base/program_folder.h"
#include "convert/child_process.h"
#include "convert/command_line.h"

namespace {

constexpr size_t kMostLooksKept = 500;

// What a file looked like when it was looked at: another size or time stamp is another video.
struct Stamp {
    bool exists = false;
    ULONGLONG size = 0;
    ULONGLONG written = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const std::string& path) {
    Stamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(FileApiPath(path).c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.size = (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        stamp.written =
            (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    }
    return stamp;
}

struct Entry {
    std::string input;
    Stamp stamp;
    std::optional<MediaLook> look; // once taken
    bool queued = false;           // waits in the queue or is under way
    bool underWay = false;         // the looking thread has taken it from the queue
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr); // set when `look` is, or never will be
    ~Entry() {
        if (taken) CloseHandle(taken);
    }
};

// Shared by the user-interface thread, the workers that wait for looks and the looking thread;
// guarded by `lock`.
struct Looking {
    SRWLOCK lock = SRWLOCK_INIT;
    std::vector<std::shared_ptr<Entry>> entries; // newest last
    std::deque<std::shared_ptr<Entry>> queue;
    HANDLE work = CreateEventW(nullptr, FALSE, FALSE, nullptr);   // the queue has gained entries
    HANDLE closing = CreateEventW(nullptr, TRUE, FALSE, nullptr); // no more looks
    HANDLE thread = nullptr;
};
Looking gLooking;

// The entry for the file as it is now; a changed file gets a new one. Called with the lock held.
std::shared_ptr<Entry> EntryFor(const std::string& input) {
    const Stamp stamp = StampOf(input);
    auto& entries = gLooking.entries;
    const auto same = std::find_if(entries.begin(), entries.end(),
                                   [&](const auto& e) { return e->input == input && e->stamp == stamp; });
    if (same != entries.end()) return *same;
    auto entry = std::make_shared<Entry>();
    entry->input = input;
    entry->stamp = stamp;
    entries.push_back(entry);
    // The oldest looks taken go first; one waited for or under way stays.
    for (auto it = entries.begin(); entries.size() > kMostLooksKept && it != entries.end();)
        it = (*it)->look && !(*it)->queued ? entries.erase(it) : it + 1;
    return entry;
}

// Asks the converter what the input holds: one short start with the input alone, not logged.
// Nothing when it cannot say (no converter, no answer within a while) or when `stop` is signalled
// meanwhile, which ends the look at once.
std::optional<MediaLook> LookAtInput(const std::string& input, HANDLE stop) {
    const auto listing = OutputOfHidden(LookCommandLine(ToCodePage(ProgramFolder()), input), stop, kLookMs);
    return listing ? std::optional(ReadMediaListing(*listing)) : std::nullopt;
}

std::shared_ptr<Entry> NextToLook() {
    AcquireSRWLockExclusive(&gLooking.lock);
    std::shared_ptr<Entry> next;
    if (!gLooking.queue.empty()) {
        next = gLooking.queue.front();
        next->underWay = true;
        gLooking.queue.pop_front();
    }
    ReleaseSRWLockExclusive(&gLooking.lock);
    return next;
}

DWORD WINAPI LookAtEach(LPVOID) {
    const HANDLE waits[2] = {gLooking.closing, gLooking.work};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        for (auto entry = NextToLook(); entry; entry = NextToLook()) {
            // A look that could not be taken is not kept: the next wait for it asks again.
            std::optional<MediaLook> look = LookAtInput(entry->input, gLooking.closing);
            if (WaitForSingleObject(gLooking.closing, 0) == WAIT_OBJECT_0) break;
            AcquireSRWLockExclusive(&gLooking.lock);
            entry->look = std::move(look);
            entry->queued = entry->underWay = false;
            ReleaseSRWLockExclusive(&gLooking.lock);
            SetEvent(entry->taken);
        }
    }
    return 0;
}

// Called with the lock held.
void StartLookingThread() {
    if (!gLooking.thread && WaitForSingleObject(gLooking.closing, 0) != WAIT_OBJECT_0)
        gLooking.thread = CreateThread(nullptr, 256 * 1024, LookAtEach, nullptr, 0, nullptr);
}

} // namespace

void LookAhead(const std::vector<std::string>& inputs) {
    AcquireSRWLockExclusive(&gLooking.lock);
    std::deque<std::shared_ptr<Entry>> queue;
    for (const std::string& input : inputs) {
        auto entry = EntryFor(input);
        if (!entry->look && !entry->underWay && std::find(queue.begin(), queue.end(), entry) == queue.end())
            queue.push_back(entry);
    }
    // Videos no longer loaded wait behind the new ones, in case a run still asks for them.
    for (auto& entry : gLooking.queue)
        if (std::find(queue.begin(), queue.end(), entry) == queue.end()) queue.push_back(entry);
    for (auto& entry : queue)
        entry->queued = true;
    gLooking.queue = std::move(queue);
    StartLookingThread();
    ReleaseSRWLockExclusive(&gLooking.lock);
    SetEvent(gLooking.work);
}

std::optional<MediaLook> AwaitLook(const std::string& input, HANDLE stop) {
    AcquireSRWLockExclusive(&gLooking.lock);
    // Closing is checked under the lock: StopLooking then sets every event after this one's reset.
    if (WaitForSingleObject(gLooking.closing, 0) == WAIT_OBJECT_0) {
        ReleaseSRWLockExclusive(&gLooking.lock);
        return std::nullopt;
    }
    const auto entry = EntryFor(input);
    if (!entry->look && !entry->queued) {
        ResetEvent(entry->taken);
        entry->queued = true;
        gLooking.queue.push_front(entry);
        StartLookingThread();
    }
    const bool looker = gLooking.thread != nullptr;
    ReleaseSRWLockExclusive(&gLooking.lock);
    // Without a thread for the looks (none could be made), the caller takes its own.
    if (!looker) return LookAtInput(input, stop);
    SetEvent(gLooking.work);
    const HANDLE waits[2] = {entry->taken, stop};
    if (WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return std::nullopt;
    AcquireSRWLockShared(&gLooking.lock);
    std::optional<MediaLook> look = entry->look;
    ReleaseSRWLockShared(&gLooking.lock);
    return look;
}

std::optional<MediaLook> KeptLook(const std::string& input) {
    // The newest entry for the name is the file as it was last loaded (or waited for).
    AcquireSRWLockShared(&gLooking.lock);
    std::optional<MediaLook> look;
    const auto& entries = gLooking.entries;
    const auto newest = std::find_if(entries.rbegin(), entries.rend(),
                                     [&](const auto& entry) { return entry->input == input; });
    if (newest != entries.rend()) look = (*newest)->look;
    ReleaseSRWLockShared(&gLooking.lock);
    return look;
}

void StopLooking() {
    SetEvent(gLooking.closing);
    AcquireSRWLockExclusive(&gLooking.lock);
    const HANDLE thread = std::exchange(gLooking.thread, nullptr);
    ReleaseSRWLockExclusive(&gLooking.lock);
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    // Whoever still waits for a look gets none.
    AcquireSRWLockExclusive(&gLooking.lock);
    for (const auto& entry : gLooking.entries)
        SetEvent(entry->taken);
    ReleaseSRWLockExclusive(&gLooking.lock);
}
