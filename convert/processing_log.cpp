#include "convert/processing_log.h"

#include <windows.h>

#include "base/program_folder.h"

void WriteProcessingLog(const std::string& line) {
    const std::wstring path = DataFolder() + L"\\kesto.log";
    // No sharing: the file stays locked for the few instants of the call.
    HANDLE log = CreateFileW(FileApiPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    if (SetFilePointerEx(log, LARGE_INTEGER{}, nullptr, FILE_END))
        WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(log);
}
