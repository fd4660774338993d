#include "toolkit/toolkit.h"

#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include <commctrl.h>

#include "toolkit/dpi.h"

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

// Where a control belongs, in its window's units, and what is drawn in it at the window's scale.
struct Placement {
    Box logical{};          // a picture at its natural size has no width or height
    std::wstring image;     // a picture's bitmap resource
    bool stretched = false; // the picture fills the control
    HFONT given = nullptr;  // a font the window's maker assigned (made for the system's scale)
    HFONT scaled = nullptr; // that font made for the window's scale, owned here
};

struct WindowRecord {
    HWND owner = nullptr;
    Units units = Units::Dialog;
    WindowCallback callback = nullptr;
    INT_PTR* resultOut = nullptr; // where a modal run waits for the end result
    bool ownerDisabled = false;
    Colours self;
    std::map<HWND, Colours> controls; // keyed by the control (and a combo box's list)
    HICON bigIcon = nullptr, smallIcon = nullptr;
    // The window at its display scale: its size in its units, its font and that font's base units.
    UINT dpi = kDefaultDpi;
    Box logical{};
    bool centreX = false, centreY = false;
    HFONT font = nullptr;    // the font every control gets unless it was given its own
    HFONT ownFont = nullptr; // `font` where it was made here rather than from the template
    LetterMeasure measure{}; // of `font`, for dialog units
    Scale scale;             // over 96 dots per inch, of the window and what is drawn in it
    std::vector<std::pair<HWND, Placement>> placements; // in creation order
    std::wstring iconName;
    // Every picture made for the window at its scale, by name and size: an animation that shows
    // its frames in turn makes each once. Owned here, released with the window or the scale.
    std::map<std::wstring, HBITMAP> pictures;
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
    for (auto& [control, placement] : record.placements)
        if (placement.scaled) DeleteObject(placement.scaled);
    if (record.ownFont) DeleteObject(record.ownFont);
}

bool Holds(const std::map<std::wstring, HBITMAP>& pictures, HGDIOBJ picture) {
    for (const auto& [key, held] : pictures)
        if (held == picture) return true;
    return false;
}

// What a control gives back when it gets another picture: ours, or a copy it made of ours (a
// static control copies a bitmap with an alpha channel), which is deleted.
void LetGo(HGDIOBJ returned, const std::map<std::wstring, HBITMAP>& pictures,
           const std::map<std::wstring, HBITMAP>& others = {}) {
    if (returned && !Holds(pictures, returned) && !Holds(others, returned)) DeleteObject(returned);
}

void DeletePictures(std::map<std::wstring, HBITMAP>& pictures) {
    for (const auto& [key, picture] : pictures)
        DeleteObject(picture);
    pictures.clear();
}

// The controls let go of their pictures before these are deleted.
void ReleasePictures(WindowRecord& record) {
    for (const auto& [control, placement] : record.placements)
        if (!placement.image.empty())
            LetGo(reinterpret_cast<HGDIOBJ>(SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, 0)),
                  record.pictures);
    DeletePictures(record.pictures);
}

void ApplyDpi(HWND window, WindowRecord& record, UINT dpi, const RECT& suggested);

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
    if (message == WM_DPICHANGED) {
        ApplyDpi(window, record, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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

// A box in the window's units, in pixels at the window's scale.
Box PixelBox(const WindowRecord& record, Box logical) {
    if (record.units == Units::Pixels) return PixelsAtDpi(logical, record.dpi);
    return PixelsOfDialogUnits(logical, record.measure, record.dpi != kDefaultDpi);
}

// The window font at the window's scale. At 96 dots per inch it is the template's own "MS Sans
// Serif"; elsewhere that bitmap face does not scale smoothly, and a TrueType twin takes its place.
void ChooseWindowFont(HWND window, WindowRecord& record, bool atCreation) {
    HFONT previous = record.ownFont;
    record.ownFont = nullptr;
    if (record.dpi == kDefaultDpi && atCreation)
        record.font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    else
        record.font = record.ownFont =
            record.dpi == kDefaultDpi ? NewWindowFont(record.dpi) : NewScalableWindowFont(record.dpi);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(record.font), FALSE);
    // "MS Sans Serif" is measured as the dialog manager measures it, to whole pixels, so that at 96
    // dots per inch nothing moves; its scalable twin exactly, so that boxes grow as its text does.
    record.measure =
        record.dpi == kDefaultDpi ? WholePixelMeasure(MeasureOf(record.font)) : MeasureOf(record.font);
    record.scale = record.units == Units::Pixels ? ScaleOfDpi(record.dpi) : ScaleOfFont(record.measure);
    for (auto& [control, placement] : record.placements)
        if (!placement.given) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(record.font), FALSE);
    if (previous) DeleteObject(previous);
}

// A font the window's maker assigned (made for the system's scale), at the window's scale.
void ApplyGivenFont(HWND control, const WindowRecord& record, Placement& placement) {
    HFONT old = placement.scaled;
    const bool asMade =
        int64_t(record.scale.numerator) * kDefaultDpi == int64_t(record.scale.denominator) * SystemDpi();
    placement.scaled = asMade ? nullptr : FontAtScale(placement.given, record.scale);
    SendMessageW(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(placement.scaled ? placement.scaled : placement.given), TRUE);
    if (old) DeleteObject(old);
}

void PlaceControl(HWND control, const WindowRecord& record, const Placement& placement) {
    const Box box = PixelBox(record, placement.logical);
    SetWindowPos(control, nullptr, box.x, box.y, box.w, box.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sizes the window for its client area at its scale: centred in the work area of its monitor,
// or at `suggested` (the system's choice when the window moves to a monitor of another scale).
void SizeAndPlace(HWND window, const WindowRecord& record, const RECT* suggested = nullptr) {
    const Box client = PixelBox(record, record.logical);
    const RECT outer =
        OuterRectForClient(client.w, client.h, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), record.dpi);
    const int outerW = outer.right - outer.left, outerH = outer.bottom - outer.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const Point centre = CentreInWorkArea(work.left, work.top, work.right, work.bottom, outerW, outerH);
    int x = record.centreX ? centre.x : client.x, y = record.centreY ? centre.y : client.y;
    if (suggested) x = suggested->left, y = suggested->top;
    SetWindowPos(window, nullptr, x, y, outerW, outerH, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A picture at the window's scale: at 96 dots per inch the bitmap as the system loads it, at
// its own size or the control's; elsewhere brought to the scaled size with a smoothing filter.
HBITMAP MadePicture(const WindowRecord& record, const Placement& placement, const RECT& client) {
    HBITMAP image = nullptr;
    if (record.dpi == kDefaultDpi) {
        image = static_cast<HBITMAP>(LoadImageW(ProgramModule(), placement.image.c_str(), IMAGE_BITMAP,
                                                client.right, client.bottom, LR_LOADMAP3DCOLORS));
    } else {
        image = static_cast<HBITMAP>(LoadImageW(ProgramModule(), placement.image.c_str(), IMAGE_BITMAP, 0, 0,
                                                LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
        const SIZE natural = BitmapSize(image);
        image = placement.stretched ? ScaledSmoothly(image, client.right, client.bottom)
                                    : ScaledSmoothly(image, Scaled(natural.cx, record.scale),
                                                     Scaled(natural.cy, record.scale));
    }
    return image;
}

void ShowPicture(HWND control, WindowRecord& record, const Placement& placement,
                 const std::map<std::wstring, HBITMAP>& oldPictures = {}) {
    RECT client{};
    if (placement.stretched) GetClientRect(control, &client);
    const std::wstring key =
        placement.image + L"|" + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom);
    HBITMAP& image = record.pictures[key];
    if (!image) image = MadePicture(record, placement, client);
    if (!image) {
        record.pictures.erase(key);
        return;
    }
    LetGo(reinterpret_cast<HGDIOBJ>(
              SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image))),
          record.pictures, oldPictures);
}

// Lays the window out again at a new scale: its font, its controls, their fonts and pictures.
void ApplyDpi(HWND window, WindowRecord& record, UINT dpi, const RECT& suggested) {
    record.dpi = dpi;
    ChooseWindowFont(window, record, false);
    SizeAndPlace(window, record, &suggested);
    // The pictures of the old scale go once the controls show those of the new one.
    std::map<std::wstring, HBITMAP> oldPictures = std::exchange(record.pictures, {});
    for (auto& [control, placement] : record.placements) {
        PlaceControl(control, record, placement);
        if (placement.given) ApplyGivenFont(control, record, placement);
        if (!placement.image.empty()) ShowPicture(control, record, placement, oldPictures);
    }
    DeletePictures(oldPictures);
    if (!record.iconName.empty()) SetWindowIcon(window, record.iconName.c_str());
    InvalidateRect(window, nullptr, TRUE);
}

Placement* PlacementOf(WindowRecord& record, HWND control) {
    for (auto& [placed, placement] : record.placements)
        if (placed == control) return &placement;
    return nullptr;
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
    record->centreX = x == kCentre;
    record->centreY = y == kCentre;
    record->logical = {record->centreX ? 0 : x, record->centreY ? 0 : y, w, h};
    const std::vector<WORD> dialogTemplate = EmptyTemplate(ComposeWindowStyle(style), exStyle);
    HWND window = CreateDialogIndirectParamW(ProgramModule(),
                                             reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                             owner, ToolkitDialogProc, reinterpret_cast<LPARAM>(record));
    if (!window) {
        delete record;
        return nullptr;
    }
    LeaveDpiChangesToWindow(window);
    record->dpi = DpiOfWindow(window);
    ChooseWindowFont(window, *record, true);
    SetWindowTextA(window, caption.c_str());
    SizeAndPlace(window, *record);
    return window;
}

HWND AddChild(HWND window, const char* className, int id, const std::string& text, int x, int y, int w, int h,
              DWORD style, DWORD exStyle) {
    WindowRecord* record = RecordOf(window);
    if (!record) return nullptr;
    Placement placement;
    placement.logical = {x, y, w, h};
    const Box box = PixelBox(*record, placement.logical);
    HWND control = CreateWindowExA(
        exStyle, className, text.c_str(), style | WS_CHILD | WS_VISIBLE, box.x, box.y, box.w, box.h, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!control) return nullptr;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(record->font), FALSE);
    record->placements.emplace_back(control, placement);
    return control;
}

HWND AddControl(HWND window, ControlKind kind, int id, const std::string& text, int x, int y, int w, int h,
                DWORD style, DWORD exStyle) {
    const ChildStyle child = ComposeChildStyle(kind, style, exStyle);
    const bool picture = kind == ControlKind::Picture || kind == ControlKind::StretchedPicture;
    HWND control =
        AddChild(window, child.className, id, picture ? "" : text, x, y, w, h, child.style, child.exStyle);
    if (control && picture) {
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
    HWND control = GetDlgItem(window, id);
    WindowRecord* record = RecordOf(window);
    Placement* placement = record ? PlacementOf(*record, control) : nullptr;
    if (!placement) return;
    placement->given = font;
    ApplyGivenFont(control, *record, *placement);
}

void ReleaseFont(HFONT font) {
    if (font) DeleteObject(font);
}

void SetWindowIcon(HWND window, const wchar_t* iconName) {
    WindowRecord* record = RecordOf(window);
    if (!record) return;
    record->iconName = iconName;
    for (auto [size, which, slot] :
         {std::tuple{SystemMetricForDpi(SM_CXICON, record->dpi), ICON_BIG, &record->bigIcon},
          std::tuple{SystemMetricForDpi(SM_CXSMICON, record->dpi), ICON_SMALL, &record->smallIcon}}) {
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
    WindowRecord* record = RecordOf(GetParent(control));
    Placement* placement = record ? PlacementOf(*record, control) : nullptr;
    if (!placement) return;
    placement->image = bitmapName;
    placement->stretched = stretched;
    ShowPicture(control, *record, *placement);
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

namespace {

LRESULT CALLBACK LinkKeys(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON; // Enter sends its click
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                         reinterpret_cast<LPARAM>(label));
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(label, nullptr, TRUE); break;
    case WM_PAINT: {
        const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
        if (GetFocus() == label) {
            HDC dc = GetDC(label);
            RECT client{};
            GetClientRect(label, &client);
            DrawFocusRect(dc, &client);
            ReleaseDC(label, dc);
        }
        return result;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(label, LinkKeys, 0); break;
    default: break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

} // namespace

void MakeLinkReachable(HWND window, int id) {
    HWND label = GetDlgItem(window, id);
    if (!label) return;
    SetWindowLongW(label, GWL_STYLE, GetWindowLongW(label, GWL_STYLE) | WS_TABSTOP);
    SetWindowSubclass(label, LinkKeys, 0, 0);
}

void SetTabOrder(HWND window, std::initializer_list<int> ids) {
    HWND previous = nullptr;
    for (int id : ids) {
        HWND control = GetDlgItem(window, id);
        if (control && previous)
            SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control ? control : previous;
    }
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
