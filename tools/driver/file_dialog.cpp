#include "tools/driver/file_dialog.h"

#include <commctrl.h>

#include "tools/driver/driver.h"

namespace driver {

namespace {

constexpr int kFileNameCombo = 0x47C; // cmb13 of the explorer-style dialog
constexpr int kFileNameEdit = 0x480;  // edt1, where a system uses an edit field instead
constexpr int kFileTypeCombo = 0x470; // cmb1
constexpr DWORD kStepTimeout = 5000;

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kStepTimeout, &result);
    return static_cast<LRESULT>(result);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool IsFileDialog(HWND window, const std::string& title) {
    return IsWindowVisible(window) && ClassOf(window) == "#32770" && TextOf(window) == title &&
           FolderView(window) != nullptr;
}

bool HasFocusInside(HWND dialog) {
    HWND focus = FocusOf(dialog);
    return focus && IsChild(dialog, focus);
}

void BringForwardIfNeeded(HWND window) {
    if (GetForegroundWindow() != window) BringToFront(window);
}

void FocusByClick(HWND dialog, HWND control) {
    BringForwardIfNeeded(dialog);
    Click(control);
    WaitUntil([&] { return FocusOf(control) == control; }, kStepTimeout);
}

} // namespace

HWND WaitForFileDialog(DWORD processId, const std::string& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId))
                if (IsFileDialog(window, title) && HasFocusInside(window)) found = window;
            return found != nullptr;
        },
        timeoutMs);
    if (found) Settle(found);
    return found;
}

HWND FileNameBox(HWND dialog) {
    // A combo box, or an extended combo box around one (as on Wine), holding the edit field.
    HWND combo = GetDlgItem(dialog, kFileNameCombo);
    if (!combo) return GetDlgItem(dialog, kFileNameEdit);
    if (HWND inner = FindWindowExW(combo, nullptr, L"ComboBox", nullptr)) combo = inner;
    return FindWindowExW(combo, nullptr, L"Edit", nullptr);
}

HWND FileTypeList(HWND dialog) {
    return GetDlgItem(dialog, kFileTypeCombo);
}

HWND FolderView(HWND dialog) {
    return FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
}

HWND FolderListView(HWND dialog) {
    HWND view = FolderView(dialog);
    return view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

HWND DialogButton(HWND dialog, int id) {
    for (HWND child = FindWindowExW(dialog, nullptr, L"Button", nullptr); child;
         child = FindWindowExW(dialog, child, L"Button", nullptr))
        if (GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

std::vector<std::string> FileTypes(HWND dialog) {
    return ComboItems(FileTypeList(dialog));
}

int SelectedFileType(HWND dialog) {
    return static_cast<int>(Ask(FileTypeList(dialog), CB_GETCURSEL));
}

void PickFileType(HWND dialog, int index) {
    HWND types = FileTypeList(dialog);
    const auto dropped = [&] { return Ask(types, CB_GETDROPPEDSTATE) != 0; };
    BringForwardIfNeeded(dialog);
    Click(types);
    if (!WaitUntil(dropped, kStepTimeout)) return;
    for (int selected = SelectedFileType(dialog); selected != index;) {
        PressKey(selected < index ? VK_DOWN : VK_UP);
        const int expected = selected + (selected < index ? 1 : -1);
        if (!WaitUntil([&] { return SelectedFileType(dialog) == expected; }, kStepTimeout)) break;
        selected = expected;
    }
    PressKey(VK_RETURN);
    WaitUntil([&] { return !dropped(); }, kStepTimeout);
}

void TypeFileName(HWND dialog, const std::wstring& name) {
    HWND box = FileNameBox(dialog);
    FocusByClick(dialog, box);
    PressKey(VK_END);
    PressChord({VK_SHIFT, VK_HOME});
    PressKey(VK_DELETE);
    TypeText(name);
    WaitUntil([&] { return TextOf(box) == WideToUtf8(name); }, kStepTimeout);
}

void PressEnterInFileName(HWND dialog) {
    FocusByClick(dialog, FileNameBox(dialog));
    PressKey(VK_RETURN);
}

void ClickAcceptButton(HWND dialog) {
    BringForwardIfNeeded(dialog);
    Click(DialogButton(dialog, IDOK));
}

void ClickCancelButton(HWND dialog) {
    BringForwardIfNeeded(dialog);
    Click(DialogButton(dialog, IDCANCEL));
}

bool WaitForDialogToClose(HWND dialog, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(dialog); }, timeoutMs);
}

DWORD FolderViewType(HWND dialog) {
    return StyleOf(FolderListView(dialog)) & LVS_TYPEMASK;
}

bool DetailsViewShown(HWND dialog) {
    HWND list = FolderListView(dialog);
    return list && FolderViewType(dialog) == LVS_REPORT && Ask(list, LVM_GETVIEW) == LV_VIEW_DETAILS;
}

HWND WaitForBoxOf(HWND dialog, DWORD timeoutMs) {
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId))
                if (window != dialog && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == dialog &&
                    ClassOf(window) == "#32770")
                    box = window;
            return box != nullptr;
        },
        timeoutMs);
    if (box) Settle(box);
    return box;
}

void AnswerBox(HWND box, int buttonId) {
    BringForwardIfNeeded(box);
    Click(GetDlgItem(box, buttonId));
    WaitUntil([&] { return !IsWindow(box); }, kStepTimeout);
}

} // namespace driver
