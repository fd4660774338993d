// The real converter: what becomes of a phone's clip and of an HDR clip in the usual mode (clips
// made by real_converter_test.sh), and three clips copied into another container in one go.
#include <gtest/gtest.h>

#include "convert/publish.h"
#include "mainwin/main_ids.h"
#include "mainwin/main_window.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"

using namespace test;

namespace {

std::wstring Media(const std::wstring& name) {
    wchar_t folder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"KESTO_MEDIA", folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

// Converts in the usual mode as Publish does; gives the closing message.
std::string PublishUsual(const std::wstring& input, const std::wstring& output) {
    sInputFile = Utf8(input);
    sOutputFile = Utf8(output);
    nMode = 1;
    MakeStandInMainWindow();
    SelectListItem(hMainDlg, ID_COMPRESSION, 0); // "Default"
    Box closing;
    WhileRunning(PublishVideo, [&] {
        if (WaitForBox(GetCurrentProcessId(), "Information", &closing, 120000)) Answer(closing.window, IDOK);
    });
    DestroyWindow(std::exchange(hMainDlg, nullptr));
    return closing.text;
}

ULONGLONG Dates(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return (ULONGLONG(data.ftCreationTime.dwHighDateTime) << 32 | data.ftCreationTime.dwLowDateTime) ^
           (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime) << 1;
}

} // namespace

TEST(RealConverter, APhonesClipKeepsEveryTrackItsChaptersMetadataAndDate) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring folder = NewTempFolder(L"kesto-rich"), out = folder + L"\\rich.mp4";
    EXPECT_EQ(PublishUsual(Media(L"rich.mov"), out), "Output conversion process finished");
    const std::string probe = Probe(out);
    for (const char* kept :
         {"(eng): Audio: aac", "(fra): Audio: aac", "(eng): Subtitle: mov_text",
          "Chapter #0:1: start 2.000000", "title           : Swim", "title           : Holiday at the lake",
          "creation_time   : 2021-05-01T10:00:00", "location        : +46.2044+006.1432/"})
        EXPECT_NE(probe.find(kept), std::string::npos) << kept << "\n" << probe;
    EXPECT_EQ(Dates(out), Dates(Media(L"rich.mov"))) << "it sorts with the original";
    const std::string log = ReadBytes(LogBeside());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << "the look at the input is not logged: " << log;
    RemoveConverterAndLog();
    RemoveTree(folder);
}

TEST(RealConverter, AnHdrClipIsToneMappedToAnSdrVideoThatLooksLikeItsMaster) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring folder = NewTempFolder(L"kesto-hdr"), out = folder + L"\\sdr.mp4";
    PublishUsual(Media(L"pq.mp4"), out);
    const std::string probe = Probe(out);
    EXPECT_NE(probe.find("Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709"), std::string::npos)
        << probe;
    const std::string ssim =
        RunBuildConverter(L"-i \"" + out + L"\" -i \"" + Media(L"sdr.mp4") + L"\" -lavfi ssim -f null -");
    const size_t all = ssim.find("All:");
    ASSERT_NE(all, std::string::npos) << ssim;
    EXPECT_GT(std::stod(ssim.substr(all + 4)), 0.85)
        << "without tone mapping it is 0.80: " << ssim.substr(all);
    RemoveConverterAndLog();
    RemoveTree(folder);
}

TEST(RealConverter, ThreeClipsChosenTogetherInTheOpenDialogBecomeThreeVideos) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-three");
    CreateDirectoryW((media + L"\\out").c_str(), nullptr);
    for (const wchar_t* name : {L"a.mp4", L"été.mp4"})
        ASSERT_TRUE(MakeClip(media + L"\\" + name, 2));
    // An AVI with B-frames, which stores no time stamps for them: copied as it is, it needs them made up.
    ASSERT_TRUE(CopyFileW(Media(L"trailer.avi").c_str(), (media + L"\\b c.avi").c_str(), FALSE));
    sInputDir = Utf8(media);
    nMode = 0; // the streams copied into another container
    hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor");
    Box closing;
    WhileRunning([] { ShowMainDialog(); },
                 [&] {
                     ASSERT_TRUE(WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
                     HWND window = hMainDlg;
                     Click(window, ID_LOAD);
                     HWND dialog = WaitForFileDialog(GetCurrentProcessId(), "Load Video");
                     ASSERT_NE(dialog, nullptr);
                     ChooseInDialog(dialog, L"\"a.mp4\" \"b c.avi\" \"été.mp4\"");
                     ASSERT_TRUE(WaitUntil([&] {
                         return TextOf(GetDlgItem(window, ID_INPUT_PATH)).rfind("3 videos: ", 0) == 0;
                     }));
                     Click(window, ID_PUBLISH);
                     dialog = WaitForFileDialog(GetCurrentProcessId(), "Convert Video");
                     ASSERT_NE(dialog, nullptr);
                     ChooseInDialog(dialog, media + L"\\out\\a.mkv"); // the folder and the type for all three
                     ASSERT_TRUE(WaitForBox(GetCurrentProcessId(), "Information", &closing, 120000));
                     Answer(closing.window, IDOK);
                     PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                 });
    EXPECT_EQ(closing.text, "3 videos converted.");
    for (const wchar_t* name : {L"a.mkv", L"b c.mkv", L"été.mkv"}) {
        const std::string probe = Probe(media + L"\\out\\" + name);
        EXPECT_NE(probe.find("Input #0, matroska"), std::string::npos) << Utf8(name) << probe;
        EXPECT_NE(probe.find("Duration: 00:00:02"), std::string::npos) << Utf8(name) << probe;
    }
    const std::string log = ReadBytes(LogBeside());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    RemoveConverterAndLog();
    RemoveTree(media);
}
