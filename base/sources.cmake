# Sources of base/, the ground every folder stands on: the globals, text and path helpers, the
# program's folder, the settings and whole-file writing.
list(APPEND KESTO_PURE_SOURCES base/text.cpp base/settings_text.cpp)
list(APPEND KESTO_WIN32_SOURCES base/globals.cpp base/program_folder.cpp base/settings.cpp base/whole_file.cpp base/same_file.cpp)
