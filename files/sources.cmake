# Sources of files/: pure ones in KESTO_PURE_SOURCES, Win32 ones in KESTO_WIN32_SOURCES.
list(APPEND KESTO_PURE_SOURCES files/file_choice.cpp)
list(APPEND KESTO_WIN32_SOURCES files/file_choosers.cpp files/video_paths.cpp)
