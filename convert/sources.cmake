# Sources of convert/: pure ones in KESTO_PURE_SOURCES, Win32 ones in KESTO_WIN32_SOURCES.
