// The settings file KESTO.ini beside the program: the two remembered folders, the mode and the
// custom converter parameters, read once at start-up and written once at the end of the run.
#pragma once

// Sets sInputDir and sOutputDir to the current directory, then takes the stored values where
// the file has them; nMode and sCustomParams change only when the file exists.
void LoadSettings();

// Writes the four values, replacing the old file in one step. Failures are silent.
void SaveSettings();
