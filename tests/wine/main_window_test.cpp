// The main window's initial state from the program state, in this process.
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "mainwin/main_ids.h"
#include "mainwin/main_window.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"

namespace {

struct ModeState {
    int usual, fast, custom;
    bool boxEnabled;
    std::string boxText;
};

// Opens the main window, reads what `inspect` wants while it is up, then closes it.
void WhileMainWindowIsUp(const std::function<void(HWND)>& inspect) {
    hMainDlg = nullptr;
    Background user([&] {
        ASSERT_TRUE(driver::WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
        driver::Settle(hMainDlg);
        inspect(hMainDlg);
        PostMessageW(hMainDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(ShowMainDialog(), 0);
}

ModeState OpenWithMode(int mode, const std::string& custom) {
    nMode = mode;
    sCustomParams = custom;
    ModeState state{};
    WhileMainWindowIsUp([&](HWND window) {
        state.usual = static_cast<int>(SendDlgItemMessageW(window, ID_MODE_USUAL, BM_GETCHECK, 0, 0));
        state.fast = static_cast<int>(SendDlgItemMessageW(window, ID_MODE_FAST, BM_GETCHECK, 0, 0));
        state.custom = static_cast<int>(SendDlgItemMessageW(window, ID_MODE_CUSTOM, BM_GETCHECK, 0, 0));
        state.boxEnabled = IsWindowEnabled(GetDlgItem(window, ID_CUSTOM_PARAMS));
        state.boxText = driver::TextOf(GetDlgItem(window, ID_CUSTOM_PARAMS));
        // Wine answers the icon query only inside the process, so it is checked here.
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    });
    return state;
}

} // namespace

TEST(MainWindowState, ModeSelectsOptionAndCustomBox) {
    struct Case {
        int mode;
        int usual, fast, custom;
        bool enabled;
    } cases[] = {{1, 1, 0, 0, false},
                 {0, 0, 1, 0, false},
                 {2, 0, 0, 1, true},
                 {3, 0, 0, 1, true},
                 {-1, 0, 0, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("nMode " + std::to_string(c.mode));
        const ModeState state = OpenWithMode(c.mode, "-b:v 1M  -an");
        EXPECT_EQ(state.usual, c.usual);
        EXPECT_EQ(state.fast, c.fast);
        EXPECT_EQ(state.custom, c.custom);
        EXPECT_EQ(state.boxEnabled, c.enabled);
        EXPECT_EQ(state.boxText, "-b:v 1M  -an"); // shown even when the box is disabled
    }
    EXPECT_EQ(OpenWithMode(2, "").boxText, "");
    nMode = 0;
    sCustomParams.clear();
}

TEST(MainWindowState, LongInputFolderIsShortenedInTheMiddle) {
    sInputDir = "C:\\Users\\Somebody\\Videos";
    for (int i = 0; i < 12; ++i)
        sInputDir += "\\A rather long folder name " + std::to_string(i);
    sInputDir += "\\LastFolder";
    WhileMainWindowIsUp([](HWND window) {
        HWND label = GetDlgItem(window, ID_INPUT_PATH);
        EXPECT_EQ(driver::TextOf(label), sInputDir);
        EXPECT_TRUE(driver::StyleOf(label) & SS_PATHELLIPSIS);
        driver::BringToFront(window);
        RECT client{};
        GetClientRect(label, &client);
        // What the label shows must be the path with its middle replaced by an ellipsis,
        // in one line: the same pixels as a label holding exactly that shortened text.
        HDC labelDc = GetDC(label);
        HDC dc = CreateCompatibleDC(labelDc); // measure only: nothing is drawn on the label
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        std::string shortened = sInputDir + std::string(8, '\0');
        RECT bounds = client;
        DrawTextA(dc, shortened.data(), -1, &bounds,
                  DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(label, labelDc);
        shortened.resize(strlen(shortened.c_str()));
        EXPECT_EQ(shortened.rfind("C:\\Users", 0), 0u) << shortened;
        EXPECT_NE(shortened.find("..."), std::string::npos) << shortened;
        EXPECT_EQ(shortened.substr(shortened.size() - 11), "\\LastFolder");
        const RECT area = driver::RectInParent(label);
        driver::Settle(window);
        const auto shown = driver::Capture(window, area);
        SetWindowTextA(label, shortened.c_str());
        driver::Settle(window);
        const bool sameAsShortenedText = driver::Capture(window, area) == shown;
        EXPECT_TRUE(sameAsShortenedText);
    });
    sInputDir.clear();
}
