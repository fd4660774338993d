#include "mainwin/button_painter.h"

#include "mainwin/button_face.h"

void PaintButtonFace(HDC dc, COLORREF hue) {
    RECT client{};
    GetClientRect(WindowFromDC(dc), &client);
    const auto bands = FaceBands(client.bottom);
    for (int i = 0; i < kFaceBands; ++i) {
        const auto colour = FaceBandColour(hue, i);
        if (!colour) continue;
        const RECT band{0, bands[i].top, client.right + 1, bands[i].bottom};
        HBRUSH brush = CreateSolidBrush(RGB(colour->red, colour->green, colour->blue));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}
