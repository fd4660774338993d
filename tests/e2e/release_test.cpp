// The release as a user gets it: KESTO-1.01-win32.zip unpacked into a folder whose path has
// blanks and non-ASCII characters (by the release_unpack step before this group), started
// from there and converting a clip end to end with the converter it ships.
#include <gtest/gtest.h>

#include <string>

#include "mainwin/main_ids.h"
#include "release_paths.h"
#include "tests/driver/driver.h"
#include "tests/driver/drop.h"
#include "tests/driver/file_dialog.h"
#include "tests/driver/run_steps.h"

using namespace driver;

namespace {

constexpr DWORD kConversionTimeout = 120000;

std::wstring ReleaseFolder() {
    return std::wstring(KESTO_RELEASE_FOLDER) + L"\\KESTO-1.01-win32";
}

std::wstring ShippedConverter() {
    return ReleaseFolder() + L"\\PLUG-IN\\ffmpeg_III.exe";
}

// What the shipped converter makes of a command: its own words, standard error included.
std::string Converter(const std::wstring& arguments) {
    return OutputOfCommand(L"\"" + ShippedConverter() + L"\" -hide_banner " + arguments);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(Release, ArchiveHoldsTheProgramTheConverterAndTheirLicences) {
    for (const wchar_t* name : {L"KESTO.exe", L"README.txt", L"LICENSE.txt", L"PLUG-IN\\ffmpeg_III.exe",
                                L"PLUG-IN\\FFMPEG-NOTICE.txt", L"PLUG-IN\\COPYING.GPLv3.txt"})
        EXPECT_TRUE(FileExists(ReleaseFolder() + L"\\" + name)) << WideToUtf8(name);
    const std::string readme = ReadBytes(ReleaseFolder() + L"\\README.txt");
    EXPECT_TRUE(Contains(readme, "KESTO.ini") && Contains(readme, "kesto.log"))
        << "where settings and log live";
    EXPECT_EQ(ReadBytes(ReleaseFolder() + L"\\LICENSE.txt").rfind("MIT License", 0), 0u);
    const std::string notice = ReadBytes(ReleaseFolder() + L"\\PLUG-IN\\FFMPEG-NOTICE.txt");
    EXPECT_TRUE(Contains(notice, "General Public License") && Contains(notice, "Source code"));
    EXPECT_TRUE(
        Contains(ReadBytes(ReleaseFolder() + L"\\PLUG-IN\\COPYING.GPLv3.txt"), "GNU GENERAL PUBLIC LICENSE"));
}

TEST(Release, UnpackedProgramConvertsAClipEndToEnd) {
    ASSERT_TRUE(FileExists(ReleaseFolder() + L"\\KESTO.exe")) << "the release was not unpacked";
    const std::wstring media = std::wstring(KESTO_RELEASE_FOLDER) + L"\\vidéos à convertir 中文";
    RemoveTree(media);
    ASSERT_TRUE(CreateDirectoryW(media.c_str(), nullptr));
    const std::wstring clip = media + L"\\clip d'essai été.mp4";
    const std::wstring output = media + L"\\résultat 1.mp4";
    Converter(L"-f lavfi -i testsrc=duration=2:size=320x240:rate=25 -f lavfi -i sine=duration=2 "
              L"-c:v libx264 -c:a aac -shortest -y \"" +
              clip + L"\"");
    ASSERT_TRUE(FileExists(clip)) << "the shipped converter could not make the test clip";

    ProgramOptions options;
    options.inPlaceFolder = ReleaseFolder();
    Program program(options);
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    BringToFront(main);
    ASSERT_TRUE(DropFiles(main, {clip}));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(Item(main, ID_INPUT_PATH)) == WideToUtf8(clip); }));
    Click(Item(main, ID_MODE_USUAL));
    Click(Item(main, ID_PUBLISH));
    HWND chooser = WaitForFileDialog(program.Id(), "Convert Video");
    ASSERT_NE(chooser, nullptr) << "the save dialog did not open";
    TypeFileName(chooser, output);
    PressKey(VK_RETURN); // the file name box still has the focus

    MessageBoxSeen finished;
    ASSERT_TRUE(WaitForMessageBox(program.Id(), "Information", &finished, kConversionTimeout));
    EXPECT_EQ(finished.text, "Output conversion process finished");
    AnswerMessageBox(finished.window, IDOK);
    Click(Item(main, ID_EXIT));
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    // A real video: the converter reads it back as H.264 and AAC of the clip's length.
    const std::string probe = Converter(L"-i \"" + output + L"\"");
    EXPECT_TRUE(Contains(probe, "Video: h264")) << probe;
    EXPECT_TRUE(Contains(probe, "Audio: aac")) << probe;
    EXPECT_TRUE(Contains(probe, "Duration: 00:00:02")) << probe;
    // The log and the settings beside the unpacked program, with the paths as they are.
    const std::string log = ReadBytes(ReleaseFolder() + L"\\kesto.log");
    EXPECT_TRUE(Contains(log, WideToUtf8(ShippedConverter()))) << log;
    EXPECT_TRUE(Contains(log, WideToUtf8(output))) << log;
    EXPECT_TRUE(Contains(ReadBytes(ReleaseFolder() + L"\\KESTO.ini"), "<MODE>1</MODE>"));
    RemoveTree(media);
}
