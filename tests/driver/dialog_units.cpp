#include "tests/driver/dialog_units.h"

#include <vector>

namespace driver {

namespace {

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// An empty hidden dialog template carrying the window font.
std::vector<WORD> FontTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    reinterpret_cast<DLGTEMPLATE*>(words.data())->style = DS_SETFONT | WS_POPUP;
    words.insert(words.end(), {0, 0, 0, 8}); // no menu, default class, no title, 8 points
    for (const wchar_t* c = L"MS Sans Serif"; *c; ++c)
        words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

} // namespace

RECT DialogUnitsToPixels(int x, int y, int w, int h) {
    const std::vector<WORD> words = FontTemplate();
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr,
                                             NoDialogProc, 0);
    RECT origin{x, y, w, h};
    MapDialogRect(dialog, &origin);
    DestroyWindow(dialog);
    return {origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
}

} // namespace driver
