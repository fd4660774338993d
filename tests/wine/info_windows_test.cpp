// The start, about and help windows in this process: the keyboard reaches the start window's link
// and Start, and closes each window.
#include <gtest/gtest.h>

#include "base/globals.h"
#include "infowin/info_ids.h"
#include "infowin/info_windows.h"
#include "tests/wine/import_patch.h"
#include "tests/wine/in_process.h"
#include "toolkit/toolkit.h"

using namespace test;

namespace {

// What the windows ask the shell to open, one "verb file" text per call, marked when the call
// has an owner, parameters, a folder or an unusual way of showing. Nothing is opened.
std::vector<std::string> gShellCalls;

HINSTANCE WINAPI NoteShellCall(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder,
                               INT show) {
    const bool plain = !owner && !parameters && !folder && show == SW_SHOWNORMAL;
    gShellCalls.push_back(std::string(plain ? "" : "unusual ") + (verb ? verb : "-") + " " + file);
    return reinterpret_cast<HINSTANCE>(42); // above 32: success
}

// Shows the window on this thread while `user` acts on it; false when it did not close.
bool ClosedBy(const std::function<void()>& show, const std::string& caption,
              const std::function<void(HWND)>& user) {
    bool closed = false;
    WhileRunning(show, [&] {
        HWND window = OwnWindow(caption);
        ASSERT_NE(window, nullptr) << caption;
        user(window);
        closed = WaitUntil([&] { return !IsWindow(window); }, 5000);
        if (!closed) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    return closed;
}

} // namespace

TEST(InfoWindows, TheKeyboardReachesTheLinkAndStartAndClosesEachWindow) {
    ImportPatch shell(&gShellExecuteASlot, reinterpret_cast<void*>(&NoteShellCall));
    EXPECT_TRUE(ClosedBy(ShowStartWindow, "Tarvelle Video Converter. ", [](HWND window) {
        // Start has the first focus, Tab reaches the address, Enter clicks it, and Enter on Start leaves.
        EXPECT_EQ(GetDlgCtrlID(FocusOf(window)), ID_START);
        Press(window, VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(FocusOf(window)), ID_START_WEB_ADDRESS);
        Press(window, VK_RETURN);
        Press(window, VK_TAB);
        Press(window, VK_RETURN);
    }));
    // Enter as Windows delivers it while the focused Start button is not the default button.
    EXPECT_TRUE(ClosedBy(ShowStartWindow, "Tarvelle Video Converter. ",
                         [](HWND window) { PostMessageW(window, WM_COMMAND, IDOK, 0); }));
    const auto escape = [](HWND window) { Press(window, VK_ESCAPE); };
    EXPECT_TRUE(ClosedBy(ShowStartWindow, "Tarvelle Video Converter. ", escape));
    hMainDlg = CreateWin(nullptr, "owner", 0, 0, 300, 200, 0, 0, Units::Pixels);
    EXPECT_TRUE(ClosedBy(ShowAboutWindow, "About", escape));
    EXPECT_TRUE(ClosedBy(ShowHelpWindow, "Help", escape));
    DestroyWindow(hMainDlg);
    EXPECT_EQ(gShellCalls, std::vector<std::string>{"- http://tarvelle.test"})
        << "once, with the default verb";
}
