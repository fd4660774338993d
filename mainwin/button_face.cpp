#include "mainwin/button_face.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds through a memory store, so that the value is a true single-precision number even
// where the processor computes floats with more precision (the x87 unit of 32-bit builds).
float AsSingle(float value) {
    volatile float stored = value;
    return stored;
}

// Nearest integer, halves to even (the default rounding mode).
int NearestEven(float value) {
    return static_cast<int>(std::nearbyint(value));
}

int Clamped(int component) {
    return std::max(component, 0);
}

} // namespace

std::array<FaceBand, kFaceBands> FaceBands(int height) {
    const float step = AsSingle(0.005f * static_cast<float>(height));
    std::array<FaceBand, kFaceBands> bands{};
    for (int i = 0; i < kFaceBands; ++i)
        bands[i] = {NearestEven(AsSingle(step * static_cast<float>(i))),
                    NearestEven(AsSingle(step * static_cast<float>(i + 1)))};
    return bands;
}

std::optional<FaceColour> FaceBandColour(uint32_t hue, int band) {
    auto colour = [](int r, int g, int b) {
        return FaceColour{uint8_t(Clamped(r)), uint8_t(Clamped(g)), uint8_t(Clamped(b))};
    };
    switch (hue) {
    case 0xFF0000: return colour(0, 199 - band, 255 - band);          // blue (0,0,255)
    case 0x00FF00: return colour(0, 255 - band, 0);                   // green (0,255,0)
    case 0x0000FF: return colour(255 - band, 125 - band, 125 - band); // red (255,0,0)
    case 0x808080: return colour(255 - band, 255 - band, 255 - band); // grey (128,128,128)
    default: return std::nullopt;
    }
}

std::vector<int> RowBands(int height) {
    std::vector<int> rows(static_cast<size_t>(std::max(height, 0)), -1);
    const auto bands = FaceBands(height);
    for (int i = 0; i < kFaceBands; ++i)
        for (int row = std::max(bands[i].top, 0); row < std::min(bands[i].bottom, height); ++row)
            rows[row] = i;
    return rows;
}
