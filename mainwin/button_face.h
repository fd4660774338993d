// The gradient faces of the main window's painted buttons: 200 horizontal bands from top to
// bottom in one of four hues. No Windows headers here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

constexpr int kFaceBands = 200;

struct FaceBand {
    int top, bottom; // rows [top, bottom); empty when bottom <= top
};

struct FaceColour {
    uint8_t red, green, blue;
    bool operator==(const FaceColour&) const = default;
};

// The band rectangles for a face `height` pixels high. The band height is 0.005 x height in
// single precision, and band edges are rounded to the nearest row, halves to even.
std::array<FaceBand, kFaceBands> FaceBands(int height);

// The colour of band `band` for a hue given as a Win32 colour value (0x00BBGGRR): blue,
// green, red and grey have gradients; any other value paints nothing.
std::optional<FaceColour> FaceBandColour(uint32_t hue, int band);

// The band each pixel row of a face ends up showing: the last band that covers it, or -1.
std::vector<int> RowBands(int height);
