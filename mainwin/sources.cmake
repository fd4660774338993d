list(APPEND KESTO_PURE_SOURCES mainwin/button_face.cpp)
list(APPEND KESTO_WIN32_SOURCES mainwin/main_window.cpp mainwin/button_painter.cpp mainwin/main_callback.cpp)
