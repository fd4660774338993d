list(APPEND KESTO_PURE_SOURCES app/text.cpp app/settings_text.cpp)
list(APPEND KESTO_WIN32_SOURCES app/globals.cpp app/program_folder.cpp app/settings.cpp app/whole_file.cpp
     app/winmain.cpp)
