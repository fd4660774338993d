#include "tools/driver/driver.h"

namespace driver {

namespace {

constexpr DWORD kSendTimeout = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result);
    return static_cast<LRESULT>(result);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return folder + L"\\" + name;
}

std::vector<wchar_t> EnvironmentWith(const std::vector<std::pair<std::wstring, std::wstring>>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
        std::wstring text(entry);
        bool replaced = false;
        for (const auto& [name, value] : extra)
            if (_wcsnicmp(text.c_str(), (name + L"=").c_str(), name.size() + 1) == 0) replaced = true;
        if (!replaced) entries.push_back(text);
    }
    FreeEnvironmentStringsW(block);
    for (const auto& [name, value] : extra)
        entries.push_back(name + L"=" + value);
    std::vector<wchar_t> result;
    for (const auto& entry : entries)
        result.insert(result.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    result.push_back(L'\0');
    return result;
}

bool CursorAt(POINT target) {
    POINT now{};
    GetCursorPos(&now);
    return now.x == target.x && now.y == target.y;
}

void SendMouse(DWORD flags, int screenX = 0, int screenY = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(screenX, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screenY, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &input, sizeof input);
}

void SendKey(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Gives the input just sent time to reach the target's queue and be handled.
void LetInputArrive() {
    Sleep(30);
    if (HWND foreground = GetForegroundWindow()) SendWithTimeout(foreground, WM_NULL, 0, 0);
}

} // namespace

Program::Program(const ProgramOptions& options) {
    ownsFolder_ = options.inPlaceFolder.empty();
    folder_ = ownsFolder_ ? NewTempFolder(options.folderName) : options.inPlaceFolder;
    const std::wstring exe = PathOf(L"KESTO.exe");
    if (ownsFolder_) CopyFileW(JoinPath(BuildProgramFolder(), L"KESTO.exe").c_str(), exe.c_str(), FALSE);
    if (ownsFolder_ && options.converter != ProgramOptions::Converter::None) {
        CreateDirectoryW(PathOf(L"PLUG-IN").c_str(), nullptr);
        const std::wstring source = options.converter == ProgramOptions::Converter::Real
                                        ? JoinPath(BuildProgramFolder(), L"PLUG-IN\\ffmpeg_III.exe")
                                        : FakeConverterPath();
        CopyFileW(source.c_str(), PathOf(L"PLUG-IN\\ffmpeg_III.exe").c_str(), FALSE);
    }
    for (const auto& [name, bytes] : options.files)
        WriteBytes(PathOf(name), bytes);
    if (options.prepare) options.prepare(folder_);

    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!options.arguments.empty()) commandLine += L" " + options.arguments;
    std::vector<wchar_t> environment = EnvironmentWith(options.environment);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring workingFolder = options.workingFolder.empty() ? temp : options.workingFolder;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                       environment.data(), workingFolder.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        processId_ = started.dwProcessId;
    }
}

Program::~Program() {
    Kill();
    if (process_) CloseHandle(process_);
    if (!ownsFolder_) return;
    // Children (a converter) may still hold files for a moment after the program ends.
    WaitUntil(
        [&] {
            RemoveTree(folder_);
            return !FileExists(folder_);
        },
        5000);
}

bool Program::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

void Program::Kill() {
    if (!Running()) return;
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
}

HWND Program::WaitForWindow(const std::string& caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow(processId_, caption);
            return found && IsWindowVisible(found);
        },
        timeoutMs);
    return found && IsWindowVisible(found) ? found : nullptr;
}

HWND Program::WaitForMainWindow(DWORD timeoutMs) const {
    const std::string prefix = "Tarvelle Video Converter.   ";
    const std::string startCaption = "Tarvelle Video Converter. "; // the start window comes first
    constexpr int kStartButton = 2005;
    HWND found = nullptr;
    HWND pressedStart = nullptr;
    ULONGLONG pressedAt = 0;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId_)) {
                if (!IsWindowVisible(window)) continue;
                const std::string caption = TextOf(window);
                if (caption.rfind(prefix, 0) == 0) found = window;
                // Press Start once, and again should the window still be up a second later.
                if (caption == startCaption &&
                    (window != pressedStart || GetTickCount64() - pressedAt > 1000)) {
                    PostMessageW(GetDlgItem(window, kStartButton), BM_CLICK, 0, 0);
                    pressedStart = window;
                    pressedAt = GetTickCount64();
                }
            }
            return found != nullptr;
        },
        timeoutMs);
    if (found) Settle(found);
    return found;
}

HWND FindTopWindow(DWORD processId, const std::string& caption, const char* className) {
    for (HWND window : TopWindowsOf(processId))
        if (TextOf(window) == caption && (!className || ClassOf(window) == className)) return window;
    return nullptr;
}

HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

std::string TextOf(HWND window) {
    const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return WideToUtf8(text);
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
}
DWORD ExStyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
}

SIZE ClientSizeOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

RECT RectInParent(HWND child) {
    RECT area{};
    GetWindowRect(child, &area);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendWithTimeout(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendWithTimeout(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
        SendWithTimeout(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        items.push_back(WideToUtf8(text));
    }
    return items;
}

void Settle(HWND window) {
    SendWithTimeout(window, WM_NULL, 0, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendWithTimeout(window, WM_NULL, 0, 0);
}

COLORREF PixelAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool WaitForPixel(HWND window, int x, int y, COLORREF colour, DWORD timeoutMs) {
    return WaitUntil([&] { return PixelAt(window, x, y) == colour; }, timeoutMs);
}

namespace {

// Copies a rectangle of the screen into a top-down DIB of `bitsPerPixel` and hands its bits
// to `use` while they are valid.
void CopyScreen(RECT screenArea, WORD bitsPerPixel, bool topDown,
                const std::function<void(const BITMAPINFOHEADER&, const void*)>& use) {
    const int width = screenArea.right - screenArea.left, height = screenArea.bottom - screenArea.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, screenArea.left, screenArea.top, SRCCOPY);
    GdiFlush();
    if (bits) use(info.bmiHeader, bits);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

} // namespace

std::vector<std::vector<COLORREF>> Capture(HWND window, RECT area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<std::vector<COLORREF>> rows(static_cast<size_t>(height), std::vector<COLORREF>(width));
    if (width <= 0 || height <= 0) return rows;
    POINT origin{area.left, area.top};
    ClientToScreen(window, &origin);
    CopyScreen({origin.x, origin.y, origin.x + width, origin.y + height}, 32, true,
               [&](const BITMAPINFOHEADER&, const void* bits) {
                   const auto* pixels = static_cast<const DWORD*>(bits);
                   for (int y = 0; y < height; ++y)
                       for (int x = 0; x < width; ++x) {
                           const DWORD p = pixels[y * width + x];
                           rows[y][x] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                       }
               });
    return rows;
}

bool SaveWindowBitmap(HWND window, const std::wstring& path) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const int height = outer.bottom - outer.top;
    const int stride = ((outer.right - outer.left) * 3 + 3) & ~3;
    std::string bytes;
    CopyScreen(outer, 24, false, [&](const BITMAPINFOHEADER& header, const void* bits) {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
        bytes.assign(reinterpret_cast<const char*>(&file), sizeof file);
        bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
        bytes.append(static_cast<const char*>(bits), static_cast<size_t>(stride * height));
    });
    return !bytes.empty() && WriteBytes(path, bytes);
}

void BringToFront(HWND window) {
    // Input sent while the activation is still on its way may be taken by the old window.
    WaitUntil(
        [&] {
            SetForegroundWindow(window);
            BringWindowToTop(window);
            return GetForegroundWindow() == GetAncestor(window, GA_ROOT);
        },
        3000);
    Settle(window);
}

// Under Wine the X server can still deliver a motion event from before a move, and Wine then
// puts the pointer back where it was, so a click that follows lands there: the move is
// repeated until the pointer stays at its target.
bool MoveMouse(HWND window, int x, int y) {
    POINT target{x, y};
    ClientToScreen(window, &target);
    for (int attempt = 0; attempt < 10; ++attempt) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, target.x, target.y);
        LetInputArrive();
        Settle(window);
        if (!CursorAt(target)) continue;
        Sleep(20);
        Settle(window);
        if (CursorAt(target)) return true;
    }
    return false;
}

// A press or release carries the pointer's position: under Wine one sent on its own right
// after a move may land where the pointer was before that move.
void SendButton(DWORD flag) {
    POINT at{};
    GetCursorPos(&at);
    SendMouse(flag | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at.x, at.y);
    LetInputArrive();
}

void MouseDown() {
    SendButton(MOUSEEVENTF_LEFTDOWN);
}
void MouseUp() {
    SendButton(MOUSEEVENTF_LEFTUP);
}

void ClickAt(HWND window, int x, int y) {
    MoveMouse(window, x, y);
    MouseDown();
    MouseUp();
}

void Click(HWND control) {
    const SIZE size = ClientSizeOf(control);
    ClickAt(control, size.cx / 2, size.cy / 2);
}

void ClickCloseBox(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    for (int y = outer.top + 2; y < outer.top + 40; ++y)
        for (int x = outer.right - 2; x > outer.right - 120; --x)
            if (SendWithTimeout(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                POINT inside{x - 3, y + 3};
                ScreenToClient(window, &inside);
                ClickAt(window, inside.x, inside.y);
                return;
            }
}

void PressKey(WORD virtualKey) {
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
    LetInputArrive();
}

void PressChord(std::initializer_list<WORD> keys) {
    for (WORD key : keys)
        SendKey(key, false);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        SendKey(*key, true);
    LetInputArrive();
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT input[2] = {};
        for (INPUT& i : input) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = c;
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    }
    LetInputArrive();
}

HCURSOR CurrentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

bool WaitForMessageBox(DWORD processId, const std::string& caption, MessageBoxSeen* seen, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            // A box has its text label; a dialog window with the same caption does not.
            box = nullptr;
            for (HWND top : TopWindowsOf(processId))
                if (IsWindowVisible(top) && ClassOf(top) == "#32770" && TextOf(top) == caption &&
                    GetDlgItem(top, 0xFFFF))
                    box = top;
            return box != nullptr;
        },
        timeoutMs);
    if (!box) return false;
    Settle(box);
    if (seen) {
        seen->window = box;
        seen->caption = TextOf(box);
        seen->text = TextOf(GetDlgItem(box, 0xFFFF));
    }
    return true;
}

void AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    BringToFront(box);
    Click(button);
    // A box must never stay up for want of a click that went astray: press the button then.
    if (!WaitUntil([&] { return !IsWindow(box); }, 2000)) PostMessageW(button, BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(box); }, 3000);
}

} // namespace driver
