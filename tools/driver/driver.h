// Test driver: starts KESTO.exe from a fresh temporary program folder under Wine and
// drives it as a user would (real mouse and keyboard input), reading back window texts,
// styles, rectangles and screen pixels. Every wait has a time-out, so a hung program
// fails a test instead of hanging the run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/support.h"

namespace driver {

constexpr DWORD kWindowTimeout = test::kTimeout;

// What the tests' own helpers already do.
using test::BuildProgramFolder;
using test::FakeConverterPath;
using test::FileExists;
using test::FixturePath;
using test::NewTempFolder;
using test::ReadBytes;
using test::RemoveTree;
using test::TopWindowsOf;
using test::WaitUntil;
using test::WriteBytes;
inline std::string WideToUtf8(const std::wstring& text) {
    return test::Utf8(text);
}

struct ProgramOptions {
    enum class Converter { None, Real, Fake } converter = Converter::None;
    std::wstring folderName = L"kesto"; // name hint of the temporary program folder
    std::wstring arguments;             // appended to the command line
    std::wstring workingFolder;         // current directory of the process (default: the temp root)
    std::vector<std::pair<std::wstring, std::string>> files;        // extra files in the program folder
    std::vector<std::pair<std::wstring, std::wstring>> environment; // extra environment variables
    std::function<void(const std::wstring& folder)> prepare; // runs on the program folder before the start
    // When set, KESTO.exe runs where it already is (an unpacked release): nothing is copied
    // there and the folder is left in place afterwards.
    std::wstring inPlaceFolder;
};

// KESTO.exe copied into a fresh temporary folder and started there (or started in place).
// The destructor ends the process if it still runs and removes a folder it made.
class Program {
  public:
    explicit Program(const ProgramOptions& options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::wstring& Folder() const { return folder_; }
    std::wstring PathOf(const std::wstring& name) const { return folder_ + L"\\" + name; }
    DWORD Id() const { return processId_; }
    bool Running() const;
    // Exit code, or false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode) const;
    void Kill();

    // A top-level window of this process with exactly this caption.
    HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = kWindowTimeout) const;
    // The main window (caption beginning "Tarvelle Video Converter. " and a web address).
    HWND WaitForMainWindow(DWORD timeoutMs = kWindowTimeout) const;

  private:
    std::wstring folder_;
    bool ownsFolder_ = true;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Windows of another process.
HWND FindTopWindow(DWORD processId, const std::string& caption, const char* className = nullptr);
HWND Item(HWND dialog, int id);
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
DWORD StyleOf(HWND window);
DWORD ExStyleOf(HWND window);
SIZE ClientSizeOf(HWND window);
// A child's window rectangle relative to its parent's client area.
RECT RectInParent(HWND child);
// The list items of a combo box, in order.
std::vector<std::string> ComboItems(HWND combo);
// Lets the window's thread finish what it has queued (painting included) before reading.
void Settle(HWND window);

// Screen pixels of a window's client area (the window must be visible and uncovered).
COLORREF PixelAt(HWND window, int x, int y);
// Waits until the pixel shows `colour`; false after the time-out.
bool WaitForPixel(HWND window, int x, int y, COLORREF colour, DWORD timeoutMs = 5000);
// Rows of a client-area rectangle, colours as RGB() values.
std::vector<std::vector<COLORREF>> Capture(HWND window, RECT area);

// Saves what the screen shows of a whole window (frame included) as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::wstring& path);

// Real input.
void BringToFront(HWND window);
// Moves the mouse to a client point; false when the pointer would not stay there.
bool MoveMouse(HWND window, int x, int y);
void MouseDown();
void MouseUp();
void ClickAt(HWND window, int x, int y);
void Click(HWND control); // in its centre
void ClickCloseBox(HWND window);
void PressKey(WORD virtualKey);
void PressChord(std::initializer_list<WORD> keys); // e.g. {VK_MENU, VK_F4}
void TypeText(const std::wstring& text);
// The cursor that the system shows now (over whatever window lies beneath it).
HCURSOR CurrentCursor();

// Message boxes (standard #32770 dialogs) of a process.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
bool WaitForMessageBox(DWORD processId, const std::string& caption, MessageBoxSeen* seen,
                       DWORD timeoutMs = kWindowTimeout);
// Presses the box's button with this id (IDOK, IDYES, ...).
void AnswerMessageBox(HWND box, int buttonId);

} // namespace driver
