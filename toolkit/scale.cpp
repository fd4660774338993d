#include "toolkit/scale.h"

#include <cstdint>

int MulDivRounded(int value, int numerator, int denominator) {
    const int64_t product = int64_t(value) * numerator;
    const int64_t half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

int ScaledForDpi(int value, unsigned dpi) {
    return MulDivRounded(value, int(dpi), int(kDefaultDpi));
}

namespace {
constexpr int kBaseWidthAt96 = 6, kBaseHeightAt96 = 13;
}

Box PixelsAtDpi(Box logical, unsigned dpi) {
    const int left = ScaledForDpi(logical.x, dpi), top = ScaledForDpi(logical.y, dpi);
    return {left, top, ScaledForDpi(logical.x + logical.w, dpi) - left,
            ScaledForDpi(logical.y + logical.h, dpi) - top};
}

LetterMeasure WholePixelMeasure(LetterMeasure exact) {
    return {52 * ((exact.widthOf52 / 26 + 1) / 2), exact.height};
}

Box PixelsOfDialogUnits(Box logical, LetterMeasure measure, bool byEdges) {
    const auto across = [&](int units) { return MulDivRounded(units, measure.widthOf52, 4 * 52); };
    const auto down = [&](int units) { return MulDivRounded(units, measure.height, 8); };
    const int left = across(logical.x), top = down(logical.y);
    if (!byEdges) return {left, top, across(logical.w), down(logical.h)};
    return {left, top, across(logical.x + logical.w) - left, down(logical.y + logical.h) - top};
}

Scale ScaleOfDpi(unsigned dpi) {
    return {int(dpi), int(kDefaultDpi)};
}

Scale ScaleOfFont(LetterMeasure measure) {
    const Scale byWidth{measure.widthOf52, 52 * kBaseWidthAt96}, byHeight{measure.height, kBaseHeightAt96};
    return int64_t(byWidth.numerator) * byHeight.denominator <=
                   int64_t(byHeight.numerator) * byWidth.denominator
               ? byWidth
               : byHeight;
}

int Scaled(int value, Scale scale) {
    return MulDivRounded(value, scale.numerator, scale.denominator);
}

int ScaledFontHeight(int height, Scale scale) {
    return int(int64_t(height) * scale.numerator / scale.denominator);
}
