#include "tests/driver/pictures.h"

namespace driver {

std::vector<std::vector<COLORREF>> ResourceBitmapPixels(const wchar_t* name) {
    auto bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0,
                                                  LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
    if (!bitmap) return {};
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    std::vector<std::vector<COLORREF>> rows(info.bmHeight, std::vector<COLORREF>(info.bmWidth));
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x) {
            const DWORD pixel = bits[static_cast<size_t>(y) * info.bmWidth + x];
            rows[y][x] = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        }
    return rows;
}

} // namespace driver
