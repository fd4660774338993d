list(APPEND KESTO_PURE_SOURCES toolkit/styles.cpp toolkit/scale.cpp)
list(APPEND KESTO_WIN32_SOURCES toolkit/toolkit.cpp toolkit/dpi.cpp)
