#include "toolkit/toolkit.h"

#include <map>
#include <memory>
#include <tuple>
#include <vector>

static_assert(ws::kPopup == WS_POPUP && ws::kChild == WS_CHILD && ws::kVisible == WS_VISIBLE);
static_assert(ws::kDisabled == WS_DISABLED && ws::kCaption == WS_CAPTION && ws::kBorder == WS_BORDER);
static_assert(ws::kSysMenu == WS_SYSMENU && ws::kMinimizeBox == WS_MINIMIZEBOX && ws::kTabStop == WS_TABSTOP);
static_assert(ws::kVScroll == WS_VSCROLL && ws::kExClientEdge == WS_EX_CLIENTEDGE);
static_assert(ws::kExStaticEdge == WS_EX_STATICEDGE && ws::kDsSysModal == DS_SYSMODAL);
static_assert(ws::kDs3dLook == DS_3DLOOK && ws::kDsModalFrame == DS_MODALFRAME &&
              ws::kDsSetFont == DS_SETFONT);
static_assert(ws::kDsNoFailCreate == DS_NOFAILCREATE && ws::kDsCenter == DS_CENTER);
static_assert(ws::kSsLeft == SS_LEFT && ws::kSsCenter == SS_CENTER && ws::kSsBitmap == SS_BITMAP);
static_assert(ws::kSsEtchedFrame == SS_ETCHEDFRAME && ws::kSsNotify == SS_NOTIFY &&
              ws::kSsSunken == SS_SUNKEN);
static_assert(ws::kSsPathEllipsis == SS_PATHELLIPSIS && ws::kBsPushButton == BS_PUSHBUTTON);
static_assert(ws::kBsAutoRadioButton == BS_AUTORADIOBUTTON && ws::kBsOwnerDraw == BS_OWNERDRAW);
static_assert(ws::kBsFlat == BS_FLAT && ws::kEsAutoHScroll == ES_AUTOHSCROLL &&
              ws::kCbsDropDown == CBS_DROPDOWN);
static_assert(ws::kCbsDropDownList == CBS_DROPDOWNLIST && ws::kCbsSort == CBS_SORT);

namespace {

struct Colours {
    COLORREF text = kSystemColour;
    COLORREF background = kSystemColour;
    HBRUSH brush = nullptr; // solid brush of the background, owned here
};

struct WindowRecord {
    HWND owner = nullptr;
    Units units = Units::Dialog;
    WindowCallback callback = nullptr;
    INT_PTR* resultOut = nullptr; // where a modal run waits for the end result
    bool ownerDisabled = false;
    Colours self;
    std::map<HWND, Colours> controls; // keyed by the control (and a combo box's list)
    std::vector<HWND> pictures;       // picture controls whose bitmaps die with the window
    HICON bigIcon = nullptr, smallIcon = nullptr;
};

std::map<HWND, std::unique_ptr<WindowRecord>> gWindows;

WindowRecord* RecordOf(HWND window) {
    const auto found = gWindows.find(window);
    return found == gWindows.end() ? nullptr : found->second.get();
}

HINSTANCE ProgramModule() {
    return GetModuleHandleW(nullptr);
}

void ReplaceBrush(Colours& colours) {
    if (colours.brush) DeleteObject(colours.brush);
    colours.brush = nullptr;
    if (colours.background != kSystemColour && colours.background != kTransparent)
        colours.brush = CreateSolidBrush(colours.background);
}

// Answers a WM_CTLCOLOR* request; nullptr leaves the control to the default handling.
HBRUSH ColourControl(const Colours& colours, HDC dc) {
    if (colours.text == kSystemColour && colours.background == kSystemColour) return nullptr;
    if (colours.text != kSystemColour && colours.text != kTransparent) SetTextColor(dc, colours.text);
    if (colours.background == kTransparent) {
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    if (colours.background == kSystemColour) return nullptr;
    SetBkColor(dc, colours.background);
    return colours.brush;
}

void ReleaseWindowResources(WindowRecord& record) {
    for (auto& [control, colours] : record.controls)
        if (colours.brush) DeleteObject(colours.brush);
    if (record.self.brush) DeleteObject(record.self.brush);
    if (record.bigIcon) DestroyIcon(record.bigIcon);
    if (record.smallIcon) DestroyIcon(record.smallIcon);
}

void ReleasePictures(const WindowRecord& record) {
    for (HWND picture : record.pictures) {
        auto old = reinterpret_cast<HGDIOBJ>(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (old) DeleteObject(old);
    }
}

bool IsColourMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

INT_PTR HandleDefaults(HWND window, WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsColourMessage(message)) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(ColourControl(record.self, dc));
        const auto found = record.controls.find(reinterpret_cast<HWND>(lParam));
        if (found == record.controls.end()) return FALSE;
        return reinterpret_cast<INT_PTR>(ColourControl(found->second, dc));
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        EndWin(window, 0);
        return TRUE;
    }
    if (message == WM_DESTROY) {
        if (record.ownerDisabled) EnableWindow(record.owner, TRUE);
        record.ownerDisabled = false;
        ReleasePictures(record);
    }
    return FALSE;
}

INT_PTR CALLBACK ToolkitDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* record = reinterpret_cast<WindowRecord*>(lParam);
        gWindows[window].reset(record);
        return FALSE; // no focus is set: the window is still hidden and empty
    }
    WindowRecord* record = RecordOf(window);
    if (!record) return FALSE;
    if (record->callback && message != WM_NCDESTROY) {
        const INT_PTR result = record->callback(window, message, wParam, lParam);
        if (result) {
            SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
            return TRUE;
        }
        // The callback may have ended the window, and its record with it: nothing is left to do.
        record = RecordOf(window);
        if (!record) return TRUE;
    }
    if (message == WM_NCDESTROY) {
        ReleaseWindowResources(*record);
        gWindows.erase(window);
        return FALSE;
    }
    return HandleDefaults(window, *record, message, wParam, lParam);
}

// An empty dialog template with the window font. The size is set after creation.
std::vector<WORD> EmptyTemplate(DWORD style, DWORD exStyle) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* head = reinterpret_cast<DLGTEMPLATE*>(words.data());
    head->style = style;
    head->dwExtendedStyle = exStyle;
    words.push_back(0); // no menu
    words.push_back(0); // default dialog class
    words.push_back(0); // empty title; the caption is set as text afterwards
    words.push_back(8); // point size of the window font
    for (const wchar_t* c = L"MS Sans Serif"; *c; ++c)
        words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

RECT PixelRect(HWND window, const WindowRecord& record, int x, int y, int w, int h) {
    if (record.units == Units::Pixels) return {x, y, w, h};
    RECT origin{x, y, w, h};
    MapDialogRect(window, &origin);
    return origin;
}

void SizeAndPlace(HWND window, WindowRecord& record, int x, int y, int w, int h) {
    const bool centreX = x == kCentre, centreY = y == kCentre;
    RECT client = PixelRect(window, record, centreX ? 0 : x, centreY ? 0 : y, w, h);
    RECT outer{0, 0, client.right, client.bottom};
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int outerW = outer.right - outer.left, outerH = outer.bottom - outer.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const Point centre = CentreInWorkArea(work.left, work.top, work.right, work.bottom, outerW, outerH);
    SetWindowPos(window, nullptr, centreX ? centre.x : client.left, centreY ? centre.y : client.top, outerW,
                 outerH, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TextOfWindow(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

// Offers a message to the dialog keyboard handling of its top-level toolkit window,
// else translates and dispatches it.
void HandleMessage(MSG& message) {
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && RecordOf(root) && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace

HWND CreateWin(HWND owner, const std::string& caption, int x, int y, int w, int h, DWORD style, DWORD exStyle,
               Units units) {
    auto* record = new WindowRecord;
    record->owner = owner;
    record->units = units;
    const std::vector<WORD> dialogTemplate = EmptyTemplate(ComposeWindowStyle(style), exStyle);
    HWND window = CreateDialogIndirectParamW(ProgramModule(),
                                             reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                             owner, ToolkitDialogProc, reinterpret_cast<LPARAM>(record));
    if (!window) {
        delete record;
        return nullptr;
    }
    SetWindowTextA(window, caption.c_str());
    SizeAndPlace(window, *record, x, y, w, h);
    return window;
}

HWND AddChild(HWND window, const char* className, int id, const std::string& text, int x, int y, int w, int h,
              DWORD style, DWORD exStyle) {
    WindowRecord* record = RecordOf(window);
    if (!record) return nullptr;
    const RECT place = PixelRect(window, *record, x, y, w, h);
    HWND control = CreateWindowExA(
        exStyle, className, text.c_str(), style | WS_CHILD | WS_VISIBLE, place.left, place.top, place.right,
        place.bottom, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (control) SendMessageW(control, WM_SETFONT, SendMessageW(window, WM_GETFONT, 0, 0), FALSE);
    return control;
}

HWND AddControl(HWND window, ControlKind kind, int id, const std::string& text, int x, int y, int w, int h,
                DWORD style, DWORD exStyle) {
    const ChildStyle child = ComposeChildStyle(kind, style, exStyle);
    const bool picture = kind == ControlKind::Picture || kind == ControlKind::StretchedPicture;
    HWND control =
        AddChild(window, child.className, id, picture ? "" : text, x, y, w, h, child.style, child.exStyle);
    if (control && picture) {
        RecordOf(window)->pictures.push_back(control);
        std::wstring name(text.begin(), text.end()); // resource names are plain ASCII
        // By handle: pictures and etched lines may share the id -1.
        SetControlImage(control, name.c_str(), kind == ControlKind::StretchedPicture);
    }
    return control;
}

void SetColours(HWND window, int id, COLORREF text, COLORREF background) {
    WindowRecord* record = RecordOf(window);
    HWND control = GetDlgItem(window, id);
    if (!record || !control) return;
    Colours& colours = record->controls[control];
    colours.text = text;
    colours.background = background;
    ReplaceBrush(colours);
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    if (GetComboBoxInfo(control, &combo) && combo.hwndList) {
        Colours& list = record->controls[combo.hwndList];
        list.text = text;
        list.background = background;
        ReplaceBrush(list);
    }
}

void SetWindowColours(HWND window, COLORREF text, COLORREF background) {
    WindowRecord* record = RecordOf(window);
    if (!record) return;
    record->self.text = text;
    record->self.background = background;
    ReplaceBrush(record->self);
}

HFONT NewFont(const char* face, int points, bool bold, bool italic, bool underline, bool strikeOut,
              BYTE charset) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, strikeOut, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       face);
}

void AssignFont(HWND window, int id, HFONT font) {
    SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ReleaseFont(HFONT font) {
    if (font) DeleteObject(font);
}

void SetWindowIcon(HWND window, const wchar_t* iconName) {
    WindowRecord* record = RecordOf(window);
    if (!record) return;
    for (auto [size, which, slot] :
         {std::tuple{32, ICON_BIG, &record->bigIcon}, std::tuple{16, ICON_SMALL, &record->smallIcon}}) {
        auto icon = static_cast<HICON>(LoadImageW(ProgramModule(), iconName, IMAGE_ICON, size, size, 0));
        if (!icon) continue;
        SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        if (*slot) DestroyIcon(*slot);
        *slot = icon;
    }
}

void SetImage(HWND window, int id, const wchar_t* bitmapName, bool stretched) {
    if (HWND control = GetDlgItem(window, id)) SetControlImage(control, bitmapName, stretched);
}

void SetControlImage(HWND control, const wchar_t* bitmapName, bool stretched) {
    RECT client{};
    if (stretched) GetClientRect(control, &client);
    HANDLE image = LoadImageW(ProgramModule(), bitmapName, IMAGE_BITMAP, client.right, client.bottom,
                              LR_LOADMAP3DCOLORS);
    if (!image) return;
    auto old = reinterpret_cast<HGDIOBJ>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)));
    if (old && old != image) DeleteObject(old);
}

std::string GetTextOf(HWND window) {
    return TextOfWindow(window);
}
void SetTextOf(HWND window, const std::string& text) {
    SetWindowTextA(window, text.c_str());
}
std::string GetItemText(HWND window, int id) {
    return TextOfWindow(GetDlgItem(window, id));
}
void SetItemText(HWND window, int id, const std::string& text) {
    SetDlgItemTextA(window, id, text.c_str());
}
void EnableItem(HWND window, int id, bool enabled) {
    EnableWindow(GetDlgItem(window, id), enabled);
}

void SetItemCheck(HWND window, int id, bool checked) {
    SendDlgItemMessageW(window, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SelectListItem(HWND window, int id, int index) {
    SendDlgItemMessageW(window, id, CB_SETCURSEL, index, 0);
}

std::string GetSelectedListText(HWND window, int id) {
    const LRESULT index = SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    const LRESULT length = SendDlgItemMessageA(window, id, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendDlgItemMessageA(window, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void RedrawItem(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    if (!control) return;
    const UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    WindowRecord* record = RecordOf(window);
    const auto colours = record ? record->controls.find(control) : decltype(record->controls.end()){};
    if (record && colours != record->controls.end() && colours->second.background == kTransparent) {
        RECT area{};
        GetWindowRect(control, &area);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
        RedrawWindow(window, &area, nullptr, flags);
    }
    RedrawWindow(control, nullptr, nullptr, flags);
}

void ShowModeless(HWND window, WindowCallback callback) {
    WindowRecord* record = RecordOf(window);
    if (!record) return;
    record->callback = callback;
    RECT client{};
    GetClientRect(window, &client);
    if (callback) {
        callback(window, WM_INITDIALOG, 0, 0);
        callback(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    ShowWindow(window, SW_SHOW);
}

INT_PTR RunModal(HWND window, WindowCallback callback) {
    WindowRecord* record = RecordOf(window);
    if (!record) return 0;
    INT_PTR result = 0;
    record->resultOut = &result;
    SetForegroundWindow(window);
    record->callback = callback;
    RECT client{};
    GetClientRect(window, &client);
    if (callback) {
        callback(window, WM_INITDIALOG, 0, 0);
        callback(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        // A callback may end its window before it is shown.
        record = RecordOf(window);
        if (!record) return result;
    }
    const HWND owner = record->owner;
    if (owner) {
        SendMessageW(owner, WM_CANCELMODE, 0, 0);
        EnableWindow(owner, FALSE);
        record->ownerDisabled = true;
    }
    ShowWindow(window, SW_SHOW);
    while (IsWindow(window)) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            HandleMessage(message);
            continue;
        }
        if (owner) SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(window));
        // Sleep until the next message arrives: an idle window costs no processor time.
        if (IsWindow(window))
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return result;
}

void EndWin(HWND window, INT_PTR result) {
    WindowRecord* record = RecordOf(window);
    if (!record) return;
    if (record->resultOut) *record->resultOut = result;
    SendMessageW(window, WM_CLOSE, 0, 0);
    record = RecordOf(window); // the close may have run a callback
    if (record && record->ownerDisabled) {
        EnableWindow(record->owner, TRUE);
        record->ownerDisabled = false;
    }
    DestroyWindow(window);
}

void ProcessPendingEvents(DWORD milliseconds, HANDLE endWaitOn) {
    MSG message;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        HandleMessage(message);
    else if (endWaitOn)
        WaitForSingleObject(endWaitOn, milliseconds);
    else
        Sleep(milliseconds);
}
