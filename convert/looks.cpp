#include "convert/looks.h"

#include <algorithm>
#include <deque>
#include <memory>

#include "base/program_folder.h"
#include "convert/converter_run.h"

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
        const std::string programFolder = ToCodePage(ProgramFolder());
        for (auto entry = NextToLook(); entry; entry = NextToLook()) {
            MediaLook look = LookAtInput(programFolder, entry->input, gLooking.closing);
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
    if (WaitForSingleObject(gLooking.closing, 0) == WAIT_OBJECT_0) return std::nullopt;
    AcquireSRWLockExclusive(&gLooking.lock);
    const auto entry = EntryFor(input);
    if (!entry->look && !entry->queued && WaitForSingleObject(entry->taken, 0) != WAIT_OBJECT_0) {
        entry->queued = true;
        gLooking.queue.push_front(entry);
        StartLookingThread();
    }
    ReleaseSRWLockExclusive(&gLooking.lock);
    SetEvent(gLooking.work);
    const HANDLE waits[2] = {entry->taken, stop};
    if (WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return std::nullopt;
    AcquireSRWLockShared(&gLooking.lock);
    std::optional<MediaLook> look = entry->look;
    ReleaseSRWLockShared(&gLooking.lock);
    return look;
}

std::optional<MediaLook> KeptLook(const std::string& input) {
    AcquireSRWLockShared(&gLooking.lock);
    std::optional<MediaLook> look;
    for (const auto& entry : gLooking.entries)
        if (entry->input == input && entry->look) look = entry->look;
    ReleaseSRWLockShared(&gLooking.lock);
    return look;
}

void StopLooking() {
    SetEvent(gLooking.closing);
    if (gLooking.thread) {
        WaitForSingleObject(gLooking.thread, INFINITE);
        CloseHandle(gLooking.thread);
        gLooking.thread = nullptr;
    }
    // Whoever still waits for a look gets none.
    AcquireSRWLockExclusive(&gLooking.lock);
    for (const auto& entry : gLooking.entries)
        SetEvent(entry->taken);
    ReleaseSRWLockExclusive(&gLooking.lock);
}
