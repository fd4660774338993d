// Every window at the display scales people use: 120, 144 and 192 dots per inch against 96.
// This program runs itself once per scale with the system's scale set in the registry, as
// Wine reads it when a program starts; each run shows every window, describes it, and at the
// larger scales compares it with the 96 dots per inch run: every control that lies inside its
// window still does, controls that were apart still are, and every text still fits its control.
#include <gtest/gtest.h>

#include <map>

#include "base/globals.h"
#include "convert/publish.h"
#include "infowin/info_windows.h"
#include "mainwin/main_window.h"
#include "tests/wine/converter_beside.h"
#include "tests/wine/in_process.h"
#include "toolkit/dpi.h"

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

// Whether the text of a label, option or button is whole in the part of it its window shows.
// Paths are shortened by design, what a user types scrolls, and a list's items are short.
bool TextFits(HWND control, const RECT& visible) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const std::wstring className = name;
    std::wstring text(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    const DWORD style = DWORD(GetWindowLongW(control, GWL_STYLE));
    if (text.empty() || (className != L"Static" && className != L"Button") || (style & SS_PATHELLIPSIS))
        return true;
    const bool button = className == L"Button";
    const int margin = !button ? 0
                       : (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON
                           ? SystemMetricForDpi(SM_CXMENUCHECK, DpiOfWindow(control)) + 4
                           : 4;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, HFONT(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT box{0, 0, visible.right - visible.left, 0};
    DrawTextW(dc, text.c_str(), -1, &box,
              DT_CALCRECT | DT_EXPANDTABS | (button ? DT_SINGLELINE : DT_WORDBREAK) |
                  ((!button && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return box.right + margin <= visible.right - visible.left && box.bottom <= visible.bottom - visible.top;
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
    const auto whileShown = [&](const std::function<void()>& show, const std::string& caption,
                                const std::function<void()>& close) {
        WhileRunning(show, [&] {
            HWND window = OwnWindow(caption);
            ASSERT_NE(window, nullptr) << caption;
            Settle(window);
            Describe(window, layouts);
            close ? close() : void(PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0));
        });
    };
    hLinkCursor = LoadCursorA(GetModuleHandleW(nullptr), "autor");
    whileShown(ShowStartWindow, "Tarvelle Video Converter. ", {});
    whileShown([] { ShowMainDialog(); }, "Tarvelle Video Converter.   http://tarvelle.test", {});
    MakeStandInMainWindow();
    whileShown(ShowHelpWindow, "Help", {});
    whileShown(ShowAboutWindow, "About", {});
    PlaceConverter();
    SetEnvironmentVariableW(L"FAKECONV_DELAY_MS", L"60000");
    whileShown(
        [] {
            PublishVideos({{"C:\\in.avi", "C:\\out.mp4"}}, {"Default", ""});
        },
        "Convert Video",
        StopRunForExit); // ends the run without a message
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
