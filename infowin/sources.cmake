# Sources of infowin/: pure ones in KESTO_PURE_SOURCES, Win32 ones in KESTO_WIN32_SOURCES.
list(APPEND KESTO_PURE_SOURCES infowin/info_texts.cpp)
list(APPEND KESTO_WIN32_SOURCES infowin/links.cpp infowin/start_window.cpp infowin/help_window.cpp
     infowin/about_window.cpp)
