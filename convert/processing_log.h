#pragma once

#include <string>

// Appends one converter command line and CR LF to "kesto.log" beside the settings file. A log
// that cannot be opened or written is skipped at once: it never stops or slows a run.
void WriteProcessingLog(const std::string& line);
