// Helpers shared by the tests that run under Wine: waits with time-outs, files, windows of a
// process, message boxes and file dialogs answered as a user would, and clips made with the
// build's converter. Every wait ends, so a hung program fails a test instead of the run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

constexpr DWORD kTimeout = 15000;

// Polls `ready` until it holds; false after the time-out.
bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs = kTimeout);
std::string Utf8(const std::wstring& text);

// Where the build put the program and the test doubles (Windows paths; Wine maps the tree to Z:).
std::wstring BuildProgramFolder();
std::wstring FakeConverterPath();
std::wstring FixturePath(const std::wstring& name);

// A new empty folder under the Windows temp folder, named from the hint (no path separators), the
// process id and a count; empty if it could not be made.
std::wstring NewTempFolder(const std::wstring& nameHint);
// Removes a folder that NewTempFolder of this process made, with everything in it, however deep
// (through \\?\ paths). A link inside (a junction, a symbolic link) is removed itself, never what
// it points to; one that the system cannot remove without touching its target (Wine's view of a
// Unix symbolic link) is left in place. True when the folder is gone (or was already); what
// was left is said once on standard error.
// Any other path, even another spelling of one of those folders, is refused: nothing is deleted,
// false is returned and the refusal is said on standard error.
bool RemoveTree(const std::wstring& folder);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The names that match a pattern such as "C:\\dir\\*.txt", sorted, without "." and "..".
std::vector<std::wstring> NamesMatching(const std::wstring& pattern);

std::vector<HWND> TopWindowsOf(DWORD processId);
// A visible top-level window of the process with exactly this caption (and of this kind), or null.
HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD timeoutMs = kTimeout,
                   const std::function<bool(HWND)>& kind = {});
std::string TextOf(HWND window);

// A message box: caption, text and buttons, and the answer a user gives with a click.
struct Box {
    HWND window = nullptr;
    std::string text;
};
bool WaitForBox(DWORD processId, const std::string& caption, Box* seen = nullptr, DWORD timeoutMs = kTimeout);
void Answer(HWND box, int buttonId);

// The common file dialog of the process with this title, and a file name typed into it and
// accepted with its Open or Save button.
HWND WaitForFileDialog(DWORD processId, const std::string& title, DWORD timeoutMs = kTimeout);
void ChooseInDialog(HWND dialog, const std::wstring& name);

// What a command line wrote to its standard output and error; ended after the time-out. Its exit
// code goes to `exitCode` (-1 when it did not start).
std::string OutputOfCommand(const std::wstring& commandLine, DWORD timeoutMs = 120000,
                            DWORD* exitCode = nullptr);
// Clips made with the converter the build placed beside the program, and its reading of a file.
bool MakeClip(const std::wstring& path, int seconds, const std::wstring& size = L"320x240");
std::string Probe(const std::wstring& path);

// Runs test actions on a second thread while the test's own thread sits in a window's loop.
class Background {
  public:
    explicit Background(std::function<void()> action);
    ~Background() { Join(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    void Join();

  private:
    std::function<void()> action_;
    HANDLE thread_ = nullptr;
};

} // namespace test
