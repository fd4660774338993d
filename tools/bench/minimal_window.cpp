// The smallest Win32 window program: the yardstick for how long the system itself takes to
// start a program and show its first window. With --dialogs it then opens the open and the
// save dialog once each, in the folder named after it: what that costs in memory is the floor
// for a program that uses them. With --dialogs-and-fonts it also draws a line in the font the
// program's windows name, which Wine finds among the system's fonts through fontconfig.
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

namespace {

LRESULT CALLBACK MinimalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void OpenBothFileDialogs(HWND owner, const wchar_t* folder) {
    wchar_t name[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Videos\0*.mp4;*.avi\0All files\0*.*\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = folder;
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    GetOpenFileNameW(&dialog);
    GetSaveFileNameW(&dialog);
}

void DrawInTheProgramsFont(HWND window) {
    HFONT font = CreateFontW(-45, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Times New Roman");
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TextOutW(dc, 10, 10, L"Video Converter", 15);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    DeleteObject(font);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = MinimalWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"MinimalWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"MinimalWindow", L"Minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    if (std::strstr(arguments, "--dialogs")) {
        int count = 0;
        wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
        OpenBothFileDialogs(window, count > 2 ? words[2] : nullptr);
        LocalFree(words);
    }
    if (std::strstr(arguments, "--dialogs-and-fonts")) DrawInTheProgramsFont(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
