// The release as a user gets it: KESTO-1.01-win32.zip unpacked (by the release_unpack step
// before this test) into a folder whose path has blanks and non-ASCII characters, started from
// there and converting a clip with the converter it ships.
#include <gtest/gtest.h>

#include "mainwin/main_ids.h"
#include "tests/support/paths.h"
#include "tests/support/program.h"
#include "tests/support/support.h"

using namespace test;

namespace {

std::wstring ReleaseFolder() {
    return std::wstring(KESTO_RELEASE_FOLDER) + L"\\KESTO-1.01-win32";
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(Release, ArchiveHoldsTheProgramTheConverterAndTheirLicences) {
    for (const wchar_t* name : {L"KESTO.exe", L"README.txt", L"LICENSE.txt", L"PLUG-IN\\ffmpeg_III.exe",
                                L"PLUG-IN\\FFMPEG-NOTICE.txt", L"PLUG-IN\\COPYING.GPLv3.txt"})
        EXPECT_TRUE(FileExists(ReleaseFolder() + L"\\" + name)) << Utf8(name);
    const std::string notice = ReadBytes(ReleaseFolder() + L"\\PLUG-IN\\FFMPEG-NOTICE.txt");
    EXPECT_TRUE(Contains(notice, "General Public License") && Contains(notice, "Source code"));
}

TEST(Release, UnpackedProgramConvertsAClipEndToEnd) {
    const std::wstring media = std::wstring(KESTO_RELEASE_FOLDER) + L"\\vidéos à convertir 中文";
    RemoveTree(media);
    ASSERT_TRUE(CreateDirectoryW(media.c_str(), nullptr));
    const std::wstring clip = media + L"\\clip d'essai été.mp4", output = media + L"\\résultat 1.mp4";
    ASSERT_TRUE(MakeClip(clip, 2));

    Program program(Converter::Real, ReleaseFolder());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(GetDlgItem(window, ID_LOAD), BM_CLICK, 0, 0);
    HWND dialog = WaitForFileDialog(program.Id(), "Load Video");
    ASSERT_NE(dialog, nullptr);
    ChooseInDialog(dialog, clip);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(window, ID_INPUT_PATH)) == Utf8(clip); }));
    PostMessageW(GetDlgItem(window, ID_MODE_USUAL), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(window, ID_PUBLISH), BM_CLICK, 0, 0);
    dialog = WaitForFileDialog(program.Id(), "Convert Video");
    ASSERT_NE(dialog, nullptr);
    ChooseInDialog(dialog, output);
    Box finished;
    ASSERT_TRUE(WaitForBox(program.Id(), "Information", &finished, 120000));
    EXPECT_EQ(finished.text, "Output conversion process finished");
    Answer(finished.window, IDOK);
    PostMessageW(GetDlgItem(window, ID_EXIT), BM_CLICK, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);

    const std::string probe = Probe(output);
    EXPECT_TRUE(Contains(probe, "Video: h264") && Contains(probe, "Audio: aac")) << probe;
    const std::string log = ReadBytes(ReleaseFolder() + L"\\kesto.log");
    EXPECT_TRUE(Contains(log, Utf8(ReleaseFolder() + L"\\PLUG-IN\\ffmpeg_III.exe"))) << log;
    EXPECT_TRUE(Contains(log, Utf8(output))) << log;
    RemoveTree(media);
}
