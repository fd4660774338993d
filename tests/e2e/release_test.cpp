// The release as a user gets it: KESTO-1.01-win32.zip unpacked (by the release_unpack step
// before this test) into a folder whose path has blanks and non-ASCII characters, and a user's
// whole journey with the converter it ships: load a clip through the open dialog, choose the
// usual mode and the smallest size, publish through the save dialog, watch the progress,
// leave. The output plays, the log says what was run, and the choices come back at the next start.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/publish.h"
#include "mainwin/main_ids.h"
#include "tests/support/paths.h"
#include "tests/support/program.h"
#include "tests/support/support.h"

using namespace test;

namespace {

const std::wstring kRelease = std::wstring(KESTO_RELEASE_FOLDER) + L"\\KESTO-1.01-win32";

void Choose(const Program& program, const char* title, const std::wstring& path) {
    HWND dialog = WaitForFileDialog(program.Id(), title);
    ASSERT_NE(dialog, nullptr) << title;
    ChooseInDialog(dialog, path);
}

} // namespace

TEST(Release, LoadUsualMinSizePublishWatchThePercentageRiseAndExit) {
    for (const wchar_t* name : {L"KESTO.exe", L"README.txt", L"LICENSE.txt", L"PLUG-IN\\ffmpeg_III.exe",
                                L"PLUG-IN\\FFMPEG-NOTICE.txt", L"PLUG-IN\\COPYING.GPLv3.txt"})
        EXPECT_TRUE(FileExists(kRelease + L"\\" + name)) << Utf8(name);
    const std::wstring media = std::wstring(KESTO_RELEASE_FOLDER) + L"\\vidéos à convertir 中文";
    ASSERT_TRUE(CreateDirectoryW(media.c_str(), nullptr));
    const std::wstring clip = media + L"\\clip d'essai été.mp4", output = media + L"\\résultat 1.mp4";
    ASSERT_TRUE(MakeClip(clip, 20, L"640x360"));
    Program program(kRelease);
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    PostMessageW(GetDlgItem(window, ID_LOAD), BM_CLICK, 0, 0);
    Choose(program, "Load Video", clip);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(window, ID_INPUT_PATH)) == Utf8(clip); }));
    PostMessageW(GetDlgItem(window, ID_MODE_USUAL), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(window, ID_COMPRESSION), CB_SETCURSEL, 21, 0);
    PostMessageW(GetDlgItem(window, ID_PUBLISH), BM_CLICK, 0, 0);
    Choose(program, "Convert Video", output);
    std::vector<int> percentages; // as the progress window's label shows them
    // The progress window, not the save dialog of the same caption that may still be closing.
    HWND progress = WaitForWindow(program.Id(), "Convert Video", kTimeout, [](HWND window) {
        return GetDlgItem(window, ID_PROGRESS_PERCENT) != nullptr;
    });
    for (; IsWindow(progress) && !WaitForBox(program.Id(), "Information", nullptr, 0); Sleep(50)) {
        const std::string label = TextOf(GetDlgItem(progress, ID_PROGRESS_PERCENT));
        if (!label.empty() && (percentages.empty() || percentages.back() != atoi(label.c_str())))
            percentages.push_back(atoi(label.c_str()));
    }
    Box finished;
    ASSERT_TRUE(WaitForBox(program.Id(), "Information", &finished, 120000));
    EXPECT_EQ(finished.text, "Output conversion process finished");
    Answer(finished.window, IDOK);
    EXPECT_GE(percentages.size(), 2u) << "the percentage rises during the run";
    EXPECT_TRUE(std::is_sorted(percentages.begin(), percentages.end()));
    PostMessageW(GetDlgItem(window, ID_EXIT), BM_CLICK, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);

    const std::string probe = Probe(output);
    for (const char* part : {"Video: h264", "Audio: aac", "Duration: 00:00:20.0"})
        EXPECT_NE(probe.find(part), std::string::npos) << probe;
    const std::string log = ReadBytes(kRelease + L"\\kesto.log");
    // The shipped converter was run on the clip, at the smallest size, beside the chosen file.
    for (const std::string& part :
         {"\"" + Utf8(kRelease + L"\\PLUG-IN\\ffmpeg_III.exe") + "\" ", " -i \"" + Utf8(clip) + "\" ",
          std::string(" -crf 31 "), " -y \"" + Utf8(media + L"\\résultat 1.kesto-part-")})
        EXPECT_NE(log.find(part), std::string::npos) << part << " not in " << log;
    // The choices come back at the next start.
    Program again(kRelease);
    window = again.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, ID_MODE_USUAL), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TextOf(GetDlgItem(window, ID_INPUT_PATH)), Utf8(media));
    DeleteFileW(clip.c_str()); // what this test made; release_unpack empties the folder before a run
    DeleteFileW(output.c_str());
    RemoveDirectoryW(media.c_str());
}
