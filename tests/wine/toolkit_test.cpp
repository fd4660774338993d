// The window toolkit on real windows, in this process.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "tests/driver/driver.h"
#include "tests/wine/background.h"
#include "toolkit/toolkit.h"

namespace {

std::vector<int> gCommands;
std::atomic<int> gEnterIdle{0};

INT_PTR RecordCommands(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) gCommands.push_back(LOWORD(wParam));
    return 0;
}

INT_PTR CountEnterIdle(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_ENTERIDLE) ++gEnterIdle;
    return 0;
}

HWND SmallWindow(HWND owner = nullptr) {
    return CreateWin(owner, "toolkit test", kCentre, kCentre, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                     Units::Pixels);
}

} // namespace

TEST(Toolkit, WindowWithoutCallbackEndsOnCloseCommand) {
    HWND window = SmallWindow();
    Background closer([window] {
        WaitVisible(window);
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(RunModal(window, nullptr), 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST(Toolkit, EndWinStoresTheResult) {
    HWND window = SmallWindow();
    Background closer([window] {
        WaitVisible(window);
        PostMessageW(window, WM_USER + 7, 0, 0);
    });
    const INT_PTR result = RunModal(window, [](HWND w, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_USER + 7) EndWin(w, 42);
        return 0;
    });
    EXPECT_EQ(result, 42);
}

TEST(Toolkit, EscapeAndEnterArriveAsCommandsAndCloseNothing) {
    gCommands.clear();
    HWND window = SmallWindow();
    Background user([window] {
        WaitVisible(window);
        driver::BringToFront(window);
        driver::PressKey(VK_ESCAPE);
        driver::PressKey(VK_RETURN);
        driver::WaitUntil([] { return gCommands.size() >= 2; }, 5000);
        const bool stillOpen = IsWindowVisible(window);
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(stillOpen);
    });
    RunModal(window, RecordCommands);
    user.Join();
    EXPECT_EQ(gCommands, (std::vector<int>{IDCANCEL, IDOK}));
}

TEST(Toolkit, ModalRunDisablesOwnerAndFeedsItIdleMessages) {
    gEnterIdle = 0;
    HWND owner = SmallWindow();
    ShowModeless(owner, CountEnterIdle);
    HWND child = SmallWindow(owner);
    bool ownerEnabledDuringRun = true;
    Background user([&] {
        WaitVisible(child);
        driver::WaitUntil([] { return gEnterIdle > 0; }, 5000); // the loop has gone idle once
        ownerEnabledDuringRun = IsWindowEnabled(owner);
        PostMessageW(child, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    RunModal(child, nullptr);
    user.Join();
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_GT(gEnterIdle, 0);
    DestroyWindow(owner);
}

TEST(Toolkit, DialogUnitsFollowTheWindowFont) {
    HWND window =
        CreateWin(nullptr, "units", kCentre, kCentre, 437, 120, WS_CAPTION | WS_SYSMENU, 0, Units::Dialog);
    RECT expected{0, 0, 437, 120};
    MapDialogRect(window, &expected);
    const SIZE client = driver::ClientSizeOf(window);
    EXPECT_EQ(client.cx, expected.right);
    EXPECT_EQ(client.cy, expected.bottom);
    HWND label = AddControl(window, ControlKind::Label, 2001, "x", 15, 102, 120, 12);
    RECT place{15, 102, 120, 12};
    MapDialogRect(window, &place);
    const RECT got = driver::RectInParent(label);
    EXPECT_EQ(got.left, place.left);
    EXPECT_EQ(got.top, place.top);
    EXPECT_EQ(got.right - got.left, place.right);
    EXPECT_EQ(got.bottom - got.top, place.bottom);
    // Every control gets the window font, "MS Sans Serif" 8 pt.
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    DestroyWindow(window);
}

TEST(Toolkit, StylesOfRealControls) {
    HWND window = SmallWindow();
    HWND link = AddControl(window, ControlKind::Label, 1, "link", 0, 0, 50, 10, SS_NOTIFY);
    EXPECT_EQ(driver::StyleOf(link) & (WS_CHILD | WS_VISIBLE | SS_NOTIFY | WS_TABSTOP),
              DWORD(WS_CHILD | WS_VISIBLE | SS_NOTIFY));
    HWND flat = AddControl(window, ControlKind::PushButton, 2, "Start", 0, 20, 50, 14, BS_FLAT);
    EXPECT_EQ(driver::StyleOf(flat) & WS_TABSTOP, 0u);
    HWND list =
        AddControl(window, ControlKind::DropDownList, 3, "", 0, 40, 50, 80, CBS_DROPDOWNLIST | WS_VSCROLL);
    for (const char* item : {"b", "a", "c"})
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(driver::ComboItems(list), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(GetSelectedListText(window, 3), "");
    SelectListItem(window, 3, 1);
    EXPECT_EQ(GetSelectedListText(window, 3), "a");
    HWND box = AddControl(window, ControlKind::TextBox, 4, "", 0, 60, 50, 14);
    EXPECT_EQ(driver::StyleOf(box) & WS_BORDER, 0u);
    EXPECT_NE(driver::ExStyleOf(box) & WS_EX_CLIENTEDGE, 0u);
    DestroyWindow(window);
}

TEST(Toolkit, PicturesAtNaturalAndStretchedSize) {
    HWND window = CreateWin(nullptr, "pictures", 0, 0, 700, 300, WS_CAPTION, 0, Units::Pixels);
    HWND title = AddControl(window, ControlKind::Picture, -1, "TITLE", 5, 5, 0, 0);
    EXPECT_EQ(driver::ClientSizeOf(title).cx, 640);
    EXPECT_EQ(driver::ClientSizeOf(title).cy, 154);
    AddControl(window, ControlKind::StretchedPicture, 101, "load1", 5, 170, 39, 41);
    for (const wchar_t* frame : {L"load2", L"load3", L"load4", L"load1"})
        SetImage(window, 101, frame, true);
    BITMAP bitmap{};
    auto image = reinterpret_cast<HBITMAP>(SendDlgItemMessageW(window, 101, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);
    GetObjectW(image, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 39);
    EXPECT_EQ(bitmap.bmHeight, 41);
    DestroyWindow(window);
}

TEST(Toolkit, FontHeightFollowsScreenResolution) {
    HFONT font = NewFont("Times New Roman", 12, true, true);
    LOGFONTA logical{};
    GetObjectA(font, sizeof logical, &logical);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(logical.lfHeight, -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(logical.lfWeight, FW_BOLD);
    EXPECT_TRUE(logical.lfItalic);
    EXPECT_STREQ(logical.lfFaceName, "Times New Roman");
    ReleaseFont(font);
}

TEST(Toolkit, ColoursAndTransparencyOnScreen) {
    HWND window = CreateWin(nullptr, "colours", 100, 100, 300, 120, WS_POPUP, 0, Units::Pixels);
    SetWindowColours(window, RGB(0, 0, 0), RGB(10, 20, 30));
    AddControl(window, ControlKind::Label, 1, "", 10, 10, 100, 30);
    SetColours(window, 1, RGB(255, 255, 255), RGB(0, 200, 0));
    AddControl(window, ControlKind::Label, 2, "", 150, 10, 100, 30);
    SetColours(window, 2, RGB(255, 255, 255), kTransparent);
    AddControl(window, ControlKind::Label, 3, "", 10, 60, 100, 30); // colours left to the system
    ShowWindow(window, SW_SHOW);
    driver::BringToFront(window);
    UpdateWindow(window);
    EXPECT_EQ(driver::PixelAt(window, 5, 5), RGB(10, 20, 30));
    EXPECT_EQ(driver::PixelAt(window, 50, 25), RGB(0, 200, 0));
    EXPECT_EQ(driver::PixelAt(window, 200, 25), RGB(10, 20, 30)) << "transparent label shows the window";
    EXPECT_EQ(driver::PixelAt(window, 50, 75), GetSysColor(COLOR_BTNFACE));
    DestroyWindow(window);
}

TEST(Toolkit, WindowsReleaseTheirGdiObjects) {
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0) GTEST_SKIP() << "no GDI object count on this system";
    for (int round = 0; round < 20; ++round) {
        HWND window = CreateWin(nullptr, "leak", kCentre, kCentre, 300, 200, 0, 0, Units::Dialog);
        SetWindowColours(window, RGB(1, 2, 3), RGB(4, 5, 6));
        AddControl(window, ControlKind::Label, 1, "text", 0, 0, 50, 10);
        SetColours(window, 1, RGB(1, 1, 1), RGB(2, 2, 2));
        SetColours(window, 1, RGB(1, 1, 1), RGB(3, 3, 3));
        AddControl(window, ControlKind::StretchedPicture, 2, "load1", 0, 20, 26, 25);
        SetImage(window, 2, L"load2", true);
        SetWindowIcon(window, L"VIDEO");
        DestroyWindow(window);
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
}

TEST(Toolkit, ProcessPendingEventsHandlesOneMessage) {
    HWND window = SmallWindow();
    static int seen;
    seen = 0;
    ShowModeless(window, [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_USER + 1) ++seen;
        return 0;
    });
    MSG drain;
    while (PeekMessageW(&drain, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&drain);
    PostMessageW(window, WM_USER + 1, 0, 0);
    PostMessageW(window, WM_USER + 1, 0, 0);
    ProcessPendingEvents(1);
    EXPECT_EQ(seen, 1);
    ProcessPendingEvents(1);
    EXPECT_EQ(seen, 2);
    DestroyWindow(window);
}

TEST(Toolkit, WindowIconInBothSizes) {
    HWND window = SmallWindow();
    SetWindowIcon(window, L"VIDEO");
    auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    ICONINFO info{};
    BITMAP bitmap{};
    GetIconInfo(small, &info);
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyWindow(window);
}
