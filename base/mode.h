// The conversion modes. The settings file and nMode keep them as numbers: 1 usual, 0 fast, any
// other custom (2 as the program writes it). No Windows headers here.
#pragma once

enum class Mode {
    Fast = 0,   // the streams copied into another container
    Usual = 1,  // re-encoded at a quality
    Custom = 2, // the user's own converter parameters, exactly as typed
};

inline Mode ModeOf(int number) {
    return number == 0 ? Mode::Fast : number == 1 ? Mode::Usual : Mode::Custom;
}

inline int NumberOf(Mode mode) {
    return static_cast<int>(mode);
}
