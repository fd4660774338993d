#include "app/globals.h"

HWND hMainDlg = nullptr;
HCURSOR hLinkCursor = nullptr;
std::string sInputDir;
std::string sOutputDir;
std::string sInputFile;
std::string sOutputFile;
int nMode = 0;
int nCompression = 0;
std::string sCrf;
std::string sCustomParams;
std::atomic<int> bConverting{0};
int bNotifyFinished = 0;

const char* const kMakerWebAddress = "http://www.tarvelle.example";
const char* const kMakerEmail = "support@tarvelle.example";
