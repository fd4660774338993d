// The real converter: what the usual mode makes of a phone's video, what the program keeps from
// happening to the input, and three clips copied into another container in one go.
#include <gtest/gtest.h>

#include "mainwin/main_ids.h"
#include "mainwin/main_window.h"
#include "tests/support/paths.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"

using namespace test;

TEST(RealConverter, APhonesTenBitVideoBecomesOneThatEveryPlayerTakes) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-media");
    ConverterRun run;
    run.request = {1, "15", "", Utf8(KESTO_TEN_BIT_CLIP), Utf8(media + L"\\plays.mp4")};
    ASSERT_TRUE(StartRun(run));
    ASSERT_TRUE(EndOfRun(run, 120000));
    EXPECT_EQ(run.outcome, RunOutcome::Succeeded);
    const std::string probe = Probe(media + L"\\plays.mp4");
    EXPECT_NE(probe.find("Video: h264 (High) (avc1 / 0x31637661), yuv420p,"), std::string::npos) << probe;
    RemoveConverterAndLog();
    RemoveTree(media);
}

TEST(RealConverter, ParametersThatWriteOverTheInputFailAndLeaveItWhole) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-media"), victim = media + L"\\victim.avi";
    ASSERT_TRUE(MakeClip(victim, 2));
    const std::string before = ReadBytes(victim);
    ConverterRun run;
    // The input again, in another spelling, as a second output.
    run.request = {2, "15", "-c copy \"" + Utf8(media + L"\\VICTIM.AVI") + "\"", Utf8(victim),
                   Utf8(media + L"\\out.mkv")};
    ASSERT_TRUE(StartRun(run));
    ASSERT_TRUE(EndOfRun(run, 120000));
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    EXPECT_EQ(ReadBytes(victim), before);
    ASSERT_FALSE(run.errorLines.empty());
    EXPECT_NE(run.errorLines.back().find("Permission denied"), std::string::npos) << run.errorLines.back();
    RemoveConverterAndLog();
    RemoveTree(media);
}

TEST(RealConverter, ThreeClipsChosenTogetherInTheOpenDialogBecomeThreeVideos) {
    ASSERT_TRUE(PlaceConverter(true));
    const std::wstring media = NewTempFolder(L"kesto-three");
    CreateDirectoryW((media + L"\\out").c_str(), nullptr);
    for (const wchar_t* name : {L"a.mp4", L"b c.mp4", L"été.mp4"})
        ASSERT_TRUE(MakeClip(media + L"\\" + name, 2));
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
                     ChooseInDialog(dialog, L"\"a.mp4\" \"b c.mp4\" \"été.mp4\"");
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
