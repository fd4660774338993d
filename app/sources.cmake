# Sources of app/, the program's entry: it composes every window.
list(APPEND KESTO_WIN32_SOURCES app/winmain.cpp)
