// Control ids of the start, help and about windows.
#pragma once

enum StartControlId : int {
    ID_START_WEB_ADDRESS = 2000,
    ID_START_INVITATION = 2001,
    ID_START = 2005,
};

enum HelpControlId : int {
    ID_HELP_HEADING = 100,
    ID_HELP_INSTRUCTION = 101,
    ID_HELP_SUBHEADING = 102,
    ID_HELP_RECOMMENDATION = 103,
};

enum AboutControlId : int {
    ID_ABOUT_BUILD = 101,
    ID_ABOUT_TITLE = 2001,
    ID_ABOUT_EMAIL = 2002,
    ID_ABOUT_WEB_ADDRESS = 2004,
};
