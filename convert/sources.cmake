# Sources of convert/: pure ones in KESTO_PURE_SOURCES, Win32 ones in KESTO_WIN32_SOURCES.
list(APPEND KESTO_PURE_SOURCES convert/command_line.cpp convert/progress.cpp convert/publish_logic.cpp convert/batch.cpp convert/output_file.cpp convert/media_look.cpp convert/conversion_plan.cpp convert/output_types.cpp convert/part.cpp)
list(APPEND KESTO_WIN32_SOURCES convert/processing_log.cpp convert/converter_run.cpp convert/child_process.cpp
     convert/publish.cpp convert/progress_window.cpp convert/run_end.cpp
     convert/output_place.cpp convert/looks.cpp)
