// The main window in this process, for what another process cannot read: its icon, and what the
// input path label makes of a folder too long for it.
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "mainwin/main_ids.h"
#include "mainwin/main_window.h"
#include "tests/driver/driver.h"
#include "tests/wine/background.h"

TEST(MainWindow, IconAndALongInputFolderShortenedInTheMiddle) {
    sInputDir = "C:\\Users\\Somebody\\Videos";
    for (int i = 0; i < 12; ++i)
        sInputDir += "\\A rather long folder name " + std::to_string(i);
    sInputDir += "\\LastFolder";
    hMainDlg = nullptr;
    Background user([] {
        ASSERT_TRUE(driver::WaitUntil([] { return hMainDlg && IsWindowVisible(hMainDlg); }));
        HWND window = hMainDlg, label = GetDlgItem(window, ID_INPUT_PATH);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
        EXPECT_EQ(driver::TextOf(label), sInputDir);
        // The label must show the path with its middle replaced by an ellipsis, in one line: the
        // same pixels as a label holding exactly that shortened text.
        RECT client{};
        GetClientRect(label, &client);
        HDC labelDc = GetDC(label);
        HDC dc = CreateCompatibleDC(labelDc); // measure only: nothing is drawn on the label
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        std::string shortened = sInputDir + std::string(8, '\0');
        DrawTextA(dc, shortened.data(), -1, &client,
                  DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(label, labelDc);
        shortened.resize(strlen(shortened.c_str()));
        EXPECT_EQ(shortened.rfind("C:\\Users", 0), 0u) << shortened;
        EXPECT_NE(shortened.find("...\\LastFolder"), std::string::npos) << shortened;
        driver::BringToFront(window);
        driver::Settle(window);
        const RECT area = driver::RectInParent(label);
        const auto shown = driver::Capture(window, area);
        SetWindowTextA(label, shortened.c_str());
        driver::Settle(window);
        EXPECT_TRUE(driver::Capture(window, area) == shown);
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(ShowMainDialog(), 0);
    sInputDir.clear();
}
