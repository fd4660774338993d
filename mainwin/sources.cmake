list(APPEND KESTO_WIN32_SOURCES mainwin/main_window.cpp)
