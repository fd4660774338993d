#include "toolkit/dpi.h"

namespace {

template <class Function> Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

HFONT NewFontOfFace(const wchar_t* face, UINT dpi, DWORD precision) {
    return CreateFontW(-MulDiv(8, int(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       precision, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

} // namespace

UINT DpiOfWindow(HWND window) {
    static const auto getDpiForWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : kDefaultDpi;
}

RECT OuterRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjust =
        User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT outer{0, 0, clientWidth, clientHeight};
    if (!adjust || !adjust(&outer, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return outer;
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto metric = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return metric ? metric(index, dpi) : MulDiv(GetSystemMetrics(index), int(dpi), int(SystemDpi()));
}

void LeaveDpiChangesToWindow(HWND dialog) {
    constexpr int kDisableAll = 1; // DDC_DISABLE_ALL
    static const auto behave = User32<BOOL(WINAPI*)(HWND, int, int)>("SetDialogDpiChangeBehavior");
    if (behave) behave(dialog, kDisableAll, kDisableAll);
}

HFONT NewScalableWindowFont(UINT dpi) {
    return NewFontOfFace(L"Microsoft Sans Serif", dpi, OUT_TT_ONLY_PRECIS);
}

HFONT NewWindowFont(UINT dpi) {
    return NewFontOfFace(L"MS Sans Serif", dpi, OUT_DEFAULT_PRECIS);
}

HFONT FontAtScale(HFONT font, Scale scale) {
    LOGFONTW description{};
    if (!GetObjectW(font, sizeof description, &description)) return nullptr;
    // The font was made for the system's scale; its size at 96 dots per inch is taken from there.
    const Scale fromSystem{scale.numerator * int(kDefaultDpi), scale.denominator * int(SystemDpi())};
    description.lfHeight = ScaledFontHeight(description.lfHeight, fromSystem);
    description.lfWidth = ScaledFontHeight(description.lfWidth, fromSystem);
    return CreateFontIndirectW(&description);
}

LetterMeasure MeasureOf(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE letters{};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {letters.cx, metrics.tmHeight};
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP description{};
    if (!bitmap || !GetObjectW(bitmap, sizeof description, &description)) return {0, 0};
    return {description.bmWidth, description.bmHeight};
}

HBITMAP ScaledSmoothly(HBITMAP natural, int width, int height) {
    const SIZE size = BitmapSize(natural);
    if (!natural || (width == size.cx && height == size.cy)) return natural;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP scaled = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, natural), oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, size.cx, size.cy, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(natural);
    return scaled;
}
