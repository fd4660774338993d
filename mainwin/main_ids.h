// Control ids of the main window.
#pragma once

#include "base/mode.h"

enum MainControlId : int {
    ID_TITLE = 1003,
    ID_TITLE_SHADOW = 1004,
    ID_LOAD = 1005,
    ID_INPUT_PATH = 1006,
    ID_INPUT_CAPTION = 1008,
    ID_ABOUT = 1010,
    ID_PUBLISH = 1012,
    ID_BUILD = 1015,
    ID_SHORT_INSTRUCTION = 1016,
    ID_INSTRUCTIONS = 1017,
    ID_TITLE_NAME = 1018,
    ID_EXIT = 1021,
    ID_HELP = 1022,
    ID_COMPRESSION_CAPTION = 1024,
    ID_COMPRESSION = 1025,
    ID_MODE_USUAL = 1027,
    ID_MODE_FAST = 1028,
    ID_MODE_CUSTOM = 1029,
    ID_CUSTOM_PARAMS = 1030,
    ID_CUSTOM_CAPTION = 1031,
    ID_RESET_PARAMS = 1032,
    ID_FROM = 1040,
    ID_TO = 1041,
    ID_FROM_CAPTION = 1042,
    ID_TO_CAPTION = 1043,
};

// The option of a mode.
inline int ModeOptionOf(Mode mode) {
    return mode == Mode::Usual ? ID_MODE_USUAL : mode == Mode::Fast ? ID_MODE_FAST : ID_MODE_CUSTOM;
}
