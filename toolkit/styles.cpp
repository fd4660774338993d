#include "toolkit/styles.h"

namespace {

struct KindRule {
    const char* className;
    uint32_t defaultStyle;
    uint32_t typeBits;
};

KindRule RuleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return {"STATIC", ws::kSsLeft, 0};
    case ControlKind::Line: return {"STATIC", ws::kSsEtchedFrame, ws::kSsEtchedFrame};
    case ControlKind::Picture:
    case ControlKind::StretchedPicture: return {"STATIC", ws::kSsBitmap, ws::kSsBitmap};
    case ControlKind::PushButton: return {"BUTTON", ws::kBsPushButton | ws::kTabStop, 0};
    case ControlKind::OptionButton:
        return {"BUTTON", ws::kBsAutoRadioButton | ws::kTabStop, ws::kBsAutoRadioButton};
    case ControlKind::TextBox: return {"EDIT", ws::kBorder | ws::kTabStop | ws::kEsAutoHScroll, 0};
    case ControlKind::DropDownList: return {"COMBOBOX", ws::kCbsDropDown | ws::kCbsSort | ws::kTabStop, 0};
    }
    return {"STATIC", 0, 0};
}

} // namespace

ChildStyle ComposeChildStyle(ControlKind kind, uint32_t style, uint32_t exStyle) {
    const KindRule rule = RuleOf(kind);
    ChildStyle result{rule.className, (style ? style : rule.defaultStyle) | rule.typeBits, exStyle};
    result.style |= ws::kChild | ws::kVisible;
    const bool boxKind = kind == ControlKind::TextBox || kind == ControlKind::DropDownList;
    if (boxKind && (result.style & ws::kBorder)) {
        result.style &= ~ws::kBorder;
        result.exStyle |= ws::kExClientEdge;
    }
    return result;
}

uint32_t ComposeWindowStyle(uint32_t style) {
    if (style == 0) style = ws::kPopup | ws::kCaption | ws::kDsModalFrame;
    style |= ws::kDsSetFont | ws::kDsNoFailCreate | ws::kDs3dLook;
    return style & ~(ws::kVisible | ws::kDsSysModal);
}

Point CentreInWorkArea(int left, int top, int right, int bottom, int width, int height) {
    const int x = (left + right - width) / 2;
    const int y = (top + bottom - height) / 2;
    return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}
