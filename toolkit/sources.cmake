list(APPEND KESTO_PURE_SOURCES toolkit/styles.cpp)
list(APPEND KESTO_WIN32_SOURCES toolkit/toolkit.cpp)
