// Every window at the display scales people use: 120, 144 and 192 dots per inch against 96.
// This program runs itself once per scale with the system's scale set in the registry, as
// Wine reads it when a program starts; each run shows every window, describes it, and at the
// larger scales compares it with the 96 dots per inch run: every control that lies inside its
// window still does, controls that were apart still are, and every text still fits its control.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "base/globals.h"
#include "convert/publish.h"
#include "infowin/info_windows.h"
#include "mainwin/main_ids.h"
#include "mainwin/main_window.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"
#include "toolkit/dpi.h"
#include "toolkit/toolkit.h"

using namespace test;

namespace {

// A control, or (`client`) the client area of its window, as the report keeps it.
struct Control {
    int window;
    bool client;
    RECT place;    // in the window's client area
    bool textFits; // measured with the control's own font
};
using Layout = std::vector<Control>;

SIZE TextExtent(HWND control, const std::wstring& text, UINT format, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT box{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &box, format | DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {box.right, box.bottom};
}

// Whether the control's text is whole in the part of the control its window shows.
bool TextFits(HWND control, const RECT& visible) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const std::wstring className = name;
    std::wstring text(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    const DWORD style = DWORD(GetWindowLongW(control, GWL_STYLE));
    const int width = visible.right - visible.left, height = visible.bottom - visible.top;
    const UINT dpi = DpiOfWindow(control);
    // Paths are shortened by design, what a user types scrolls, and a list's items are short.
    if (text.empty() || (className != L"Static" && className != L"Button") || (style & SS_PATHELLIPSIS))
        return true;
    if (className == L"Button") {
        const int type = style & BS_TYPEMASK;
        const int box = type == BS_AUTORADIOBUTTON ? SystemMetricForDpi(SM_CXMENUCHECK, dpi) + 4 : 4;
        const SIZE extent = TextExtent(control, text, DT_SINGLELINE, 0);
        return extent.cx + box <= width && extent.cy <= height;
    }
    const SIZE extent =
        TextExtent(control, text, DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0), width);
    return extent.cx <= width && extent.cy <= height;
}

void Describe(HWND window, Layout& layout) {
    const int index = layout.empty() ? 0 : layout.back().window + 1;
    RECT client{};
    GetClientRect(window, &client);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place{}, visible{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        IntersectRect(&visible, &place, &client);
        layout.push_back({index, false, place, TextFits(child, visible)});
    }
    layout.push_back({index, true, client, true});
}

// Shows each window of the program in turn and describes it.
Layout DescribeEveryWindow() {
    Layout layouts;
    const auto whileShown = [&](const std::function<void()>& show, const std::string& caption) {
        WhileRunning(show, [&] {
            HWND window = OwnWindow(caption);
            ASSERT_NE(window, nullptr) << caption;
            Settle(window);
            Describe(window, layouts);
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    };
    hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor");
    whileShown(ShowStartWindow, "Tarvelle Video Converter. ");
    whileShown([] { ShowMainDialog(); }, "Tarvelle Video Converter.   http://tarvelle.test");
    MakeStandInMainWindow();
    whileShown(ShowHelpWindow, "Help");
    whileShown(ShowAboutWindow, "About");
    PlaceConverter();
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    sInputFile = "C:\\in.avi";
    sOutputFile = "C:\\out.mp4";
    WhileRunning([] { PublishVideos({{sInputFile, sOutputFile}}, {"Default", ""}); }, [&] {
        HWND window = OwnWindow("Convert Video");
        ASSERT_NE(window, nullptr);
        Settle(window);
        Describe(window, layouts);
        StopRunForExit(); // ends the run without a message
    });
    RemoveConverterAndLog();
    DestroyWindow(hMainDlg);
    return layouts;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT common{};
    return IntersectRect(&common, &a, &b);
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Runs this program's description at a scale; false when it failed.
bool DescribeAtScale(DWORD dpi, std::string& output) {
    for (auto [root, key] :
         {std::pair{HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
          std::pair{HKEY_LOCAL_MACHINE,
                    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}})
        RegSetKeyValueW(root, key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetEnvironmentVariableW(L"KESTO_SCALE", std::to_wstring(dpi).c_str());
    output = OutputOfCommand(L"\"" + std::wstring(self) + L"\" --gtest_filter=Scale.EveryWindowAtThisScale");
    SetEnvironmentVariableW(L"KESTO_SCALE", nullptr);
    return output.find("[  PASSED  ] 1 test") != std::string::npos;
}

} // namespace

// Run by the test below, at the scale it has set.
TEST(Scale, EveryWindowAtThisScale) {
    wchar_t scale[8] = {};
    if (!GetEnvironmentVariableW(L"KESTO_SCALE", scale, 8)) GTEST_SKIP() << "run by the scales test";
    const UINT dpi = UINT(_wtoi(scale));
    ASSERT_EQ(SystemDpi(), dpi) << "the system's scale did not take";
    const Layout now = DescribeEveryWindow();
    wchar_t temp[MAX_PATH];
    const std::wstring report = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"kesto-layout-96.bin";
    if (dpi == kDefaultDpi)
        return void(WriteBytes(
            report, std::string(reinterpret_cast<const char*>(now.data()), now.size() * sizeof(Control))));
    const std::string bytes = ReadBytes(report);
    Layout then(bytes.size() / sizeof(Control));
    memcpy(then.data(), bytes.data(), then.size() * sizeof(Control));
    ASSERT_EQ(now.size(), then.size());
    std::map<int, RECT> client, baseClient;
    for (size_t i = 0; i < now.size(); ++i)
        if (now[i].client) client[now[i].window] = now[i].place, baseClient[then[i].window] = then[i].place;
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i].client) continue;
        const RECT &a = now[i].place, &b = then[i].place;
        SCOPED_TRACE(testing::Message() << "window " << now[i].window << ", control " << i);
        EXPECT_TRUE(!Inside(b, baseClient[now[i].window]) || Inside(a, client[now[i].window]))
            << "it sticks out";
        EXPECT_TRUE(!then[i].textFits || now[i].textFits) << "its text no longer fits";
        for (size_t j = i + 1; j < now.size() && now[j].window == now[i].window; ++j)
            EXPECT_TRUE(now[j].client || Overlap(b, then[j].place) || !Overlap(a, now[j].place))
                << "it now overlaps control " << j;
    }
}

TEST(Scale, EveryWindowWholeAt120144And192DotsPerInch) {
    std::string output;
    for (DWORD dpi : {96u, 120u, 144u, 192u})
        EXPECT_TRUE(DescribeAtScale(dpi, output)) << dpi << " dots per inch:\n" << output;
    DescribeAtScale(96, output); // as it was
}

namespace {
// What Windows sends when the main window crosses to a monitor at 150%, and how it looks then.
void MoveToAMonitorAt144() {
    HWND window = OwnWindow("Tarvelle Video Converter.   http://tarvelle.test");
    ASSERT_NE(window, nullptr);
    const RECT suggested{40, 30, 1600, 600};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    // A client area of 1500 x 525 within a frame of that scale, where the system suggests.
    const RECT outer = OuterRectForClient(1500, 525, DWORD(GetWindowLongW(window, GWL_STYLE)),
                                          DWORD(GetWindowLongW(window, GWL_EXSTYLE)), 144);
    RECT place{};
    GetWindowRect(window, &place);
    EXPECT_EQ(place.right - place.left, outer.right - outer.left);
    EXPECT_EQ(place.bottom - place.top, outer.bottom - outer.top);
    EXPECT_EQ(place.left, 40);
    EXPECT_EQ(place.top, 30);
    GetWindowRect(GetDlgItem(window, ID_LOAD), &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 8);
    EXPECT_EQ(place.bottom, 263);
    LOGFONTW title{};
    GetObjectW(HFONT(SendDlgItemMessageW(window, ID_TITLE, WM_GETFONT, 0, 0)), sizeof title, &title);
    EXPECT_EQ(title.lfHeight, -90) << "45 points at 144 dots per inch";
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}
} // namespace

TEST(Scale, AWindowMovedToAMonitorOfAnotherScaleIsLaidOutAgainThere) {
    hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor");
    WhileRunning([] { ShowMainDialog(); }, MoveToAMonitorAt144);
}
