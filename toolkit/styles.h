// Style rules of the window toolkit, kept free of Windows headers so they can be
// unit-tested natively. The constants carry the Win32 values; the Win32 side checks
// them against <windows.h> at compile time.
#pragma once

#include <cstdint>

namespace ws {
constexpr uint32_t kPopup = 0x80000000, kChild = 0x40000000, kVisible = 0x10000000, kDisabled = 0x08000000;
constexpr uint32_t kCaption = 0x00C00000, kBorder = 0x00800000, kSysMenu = 0x00080000;
constexpr uint32_t kMinimizeBox = 0x00020000, kTabStop = 0x00010000, kVScroll = 0x00200000;
constexpr uint32_t kExClientEdge = 0x00000200, kExStaticEdge = 0x00020000;
constexpr uint32_t kDsSysModal = 0x02, kDs3dLook = 0x04, kDsModalFrame = 0x80, kDsSetFont = 0x40;
constexpr uint32_t kDsNoFailCreate = 0x10, kDsCenter = 0x0800;
constexpr uint32_t kSsLeft = 0x00, kSsCenter = 0x01, kSsBitmap = 0x0E, kSsEtchedFrame = 0x12;
constexpr uint32_t kSsNotify = 0x100, kSsSunken = 0x1000, kSsPathEllipsis = 0x8000;
constexpr uint32_t kBsPushButton = 0x00, kBsAutoRadioButton = 0x09, kBsOwnerDraw = 0x0B, kBsFlat = 0x8000;
constexpr uint32_t kEsAutoHScroll = 0x80;
constexpr uint32_t kCbsDropDown = 0x02, kCbsDropDownList = 0x03, kCbsSort = 0x100;
} // namespace ws

enum class ControlKind {
    Label,
    Line,
    Picture,
    StretchedPicture,
    PushButton,
    OptionButton,
    TextBox,
    DropDownList
};

struct ChildStyle {
    const char* className; // window class of the control
    uint32_t style;
    uint32_t exStyle;
};

// Style of a control of the given kind: 0 takes the kind's default, an explicit style
// replaces it; the kind's type bits, WS_CHILD and WS_VISIBLE are always added. Text and
// combo boxes draw a WS_BORDER as a client edge instead.
ChildStyle ComposeChildStyle(ControlKind kind, uint32_t style, uint32_t exStyle);

// Style of a toolkit window: 0 means a captioned modal-frame popup; every window gets
// DS_SETFONT, DS_NOFAILCREATE and DS_3DLOOK and is created hidden and never system-modal.
uint32_t ComposeWindowStyle(uint32_t style);

struct Point {
    int x, y;
};

// Top-left corner that centres an outer size in a work area; never negative.
Point CentreInWorkArea(int left, int top, int right, int bottom, int width, int height);
