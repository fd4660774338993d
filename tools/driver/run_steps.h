// Steps of a conversion seen from outside the program: the converter it starts and the
// message that ends the run. The waits for the converter and the message send the program no message, so
// they do not wake its loops while they watch it.
#pragma once

#include <windows.h>

#include <string>

#include "tools/driver/driver.h"

namespace driver {

// A converter started by the process `parentId`, found by its file name: a handle that can
// be waited on (SYNCHRONIZE and limited query rights), or null after the time-out. A child
// that has ended already, or whose id is `skipId`, is passed over; `foundId` gets its id.
HANDLE WaitForChildProcess(DWORD parentId, const std::wstring& exeName, DWORD timeoutMs = kWindowTimeout,
                           DWORD skipId = 0, DWORD* foundId = nullptr);

// A visible message box of a process with this caption, polled every `pollMs` ms with calls
// that reach only the window server; null after the time-out.
HWND WaitForMessageBoxQuietly(DWORD processId, const std::wstring& caption, DWORD pollMs = 1,
                              DWORD timeoutMs = kWindowTimeout);

// The text of a message box, read the same quiet way.
std::wstring MessageBoxTextQuietly(HWND box);

using test::OutputOfCommand;

} // namespace driver
