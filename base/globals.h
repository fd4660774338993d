// Program-wide state, owned by the user-interface thread. Strings are byte strings in the
// process code page. Only bConverting is shared with the conversion worker.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

extern HWND hMainDlg;
extern HCURSOR hLinkCursor;
extern std::string sInputDir;
extern std::string sOutputDir;
extern std::string sInputFile;
extern std::vector<std::string> sInputFiles; // every video loaded; sInputFile is the first
extern std::string sOutputFile;
extern int nMode;
extern int nCompression;
extern std::string sCrf;
extern std::string sCustomParams;
extern std::atomic<int> bConverting;
extern int bNotifyFinished;
extern DRAWITEMSTRUCT* pDrawItem; // the owner-draw request being handled

// The maker's web address and support e-mail address, shown by the start, main and about windows.
extern const char* const kMakerWebAddress;
extern const char* const kMakerEmail;
