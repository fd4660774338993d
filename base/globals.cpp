#include "base/globals.h"

HWND hMainDlg = nullptr;
HCURSOR hLinkCursor = nullptr;
std::string sInputDir;
std::string sOutputDir;
std::string sInputFile;
std::vector<std::string> sInputFiles;
std::string sOutputFile;
int nMode = 0;
int nCompression = 0;
std::string sCrf;
std::string sCustomParams;
std::atomic<int> bConverting{0};
int bNotifyFinished = 0;
DRAWITEMSTRUCT* pDrawItem = nullptr;

// Short enough for the about window's link label (70 dialog units) to show it whole.
const char* const kMakerWebAddress = "http://tarvelle.test";
const char* const kMakerEmail = "support@tarvelle.test";
