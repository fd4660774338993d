// Where a window's controls go at a display scale. Positions are given in the window's own
// units: pixels at 96 dots per inch, or dialog units of the window font. No Windows headers here.
#pragma once

constexpr unsigned kDefaultDpi = 96;

struct Box {
    int x, y, w, h;
};

// value * numerator / denominator rounded to the nearest integer, halves away from zero, as
// the system's MulDiv does.
int MulDivRounded(int value, int numerator, int denominator);

// A length in pixels at 96 dots per inch, at `dpi`.
int ScaledForDpi(int value, unsigned dpi);

// A box in pixels at 96 dots per inch, at `dpi`. Edges are scaled rather than sizes, so that
// boxes that meet, or end at the window's edge, still do.
Box PixelsAtDpi(Box logical, unsigned dpi);

// A font's measure for dialog units: the width of the 52 letters "A" to "Z" and "a" to "z"
// written in it, and its height. A horizontal dialog unit is a quarter of the average letter
// width, a vertical one an eighth of the height.
struct LetterMeasure {
    int widthOf52;
    int height;
};

// The measure as the system's dialog manager takes it: the average width rounded to whole pixels.
LetterMeasure WholePixelMeasure(LetterMeasure exact);

// A box in dialog units, in pixels of a font of this measure: sizes converted on their own, as
// the dialog manager converts them, or (`byEdges`) edges, so that boxes that meet still do.
Box PixelsOfDialogUnits(Box logical, LetterMeasure measure, bool byEdges);

// How much larger than at 96 dots per inch things are drawn: numerator over denominator.
struct Scale {
    int numerator = 1, denominator = 1;
};
// In a window sized in pixels, the display scale itself.
Scale ScaleOfDpi(unsigned dpi);
// In a window sized in dialog units, the growth of its font over "MS Sans Serif" 8 pt at 96
// dots per inch (base units 6 x 13), the smaller of width and height so that pictures keep
// their proportions and still fit the boxes around them.
Scale ScaleOfFont(LetterMeasure measure);
// A length at 96 dots per inch, at a scale.
int Scaled(int value, Scale scale);
// A font height at a scale, never rounded up: text grows no more than the boxes around it.
int ScaledFontHeight(int height, Scale scale);
