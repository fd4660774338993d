// Observes what a program asks the shell to open, without a browser or a mail program.
//
// While a ShellHandlers object lives, the Wine prefix's handlers of the http and mailto
// protocols (HKEY_CLASSES_ROOT\<protocol>\shell\open\command) start tests/shellrec's
// shell_recorder.exe instead of Wine's browser launcher; the recorder appends each target and the
// show state it was started with to a log that Requests() reads. Wine's ShellExecute reads the
// protocol handlers from HKEY_CLASSES_ROOT only (an entry under HKCU\Software\Classes is not
// consulted), and for a URL both the default verb and "open" lead to shell\open. The destructor
// puts the prefix's own handlers back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/driver/driver.h"

namespace driver {

struct ShellRequestSeen {
    std::string target; // what the handler was given to open
    int show = -1;      // the show state it was started with (SW_SHOWNORMAL is 1), -1 if none
};

class ShellHandlers {
  public:
    ShellHandlers();
    ~ShellHandlers();
    ShellHandlers(const ShellHandlers&) = delete;
    ShellHandlers& operator=(const ShellHandlers&) = delete;

    // The requests recorded so far, in order.
    std::vector<ShellRequestSeen> Requests() const;
    // Waits until at least `count` requests have been recorded.
    bool WaitForRequests(size_t count, DWORD timeoutMs = kWindowTimeout) const;

  private:
    struct Saved {
        std::wstring key;
        bool existed = false;
        std::wstring command;
    };
    std::wstring folder_;
    std::wstring log_;
    std::vector<Saved> saved_;
};

} // namespace driver
