#include "tests/driver/shell_handlers.h"

#include <sstream>

#include "tests/driver/shell_paths.h"

namespace driver {

namespace {

constexpr const wchar_t* kProtocols[] = {L"http", L"mailto"};

bool ReadDefaultValue(const std::wstring& key, std::wstring* value) {
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return false;
    *value = buffer;
    return true;
}

void WriteDefaultValue(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

} // namespace

ShellHandlers::ShellHandlers() {
    folder_ = NewTempFolder(L"shell-requests");
    log_ = folder_ + L"\\requests.txt";
    const std::wstring command = L"\"" + std::wstring(KESTO_SHELL_RECORDER) + L"\" \"" + log_ + L"\" \"%1\"";
    for (const wchar_t* protocol : kProtocols) {
        Saved saved;
        saved.key = std::wstring(protocol) + L"\\shell\\open\\command";
        saved.existed = ReadDefaultValue(saved.key, &saved.command);
        WriteDefaultValue(saved.key, command);
        saved_.push_back(saved);
    }
}

ShellHandlers::~ShellHandlers() {
    for (const Saved& saved : saved_) {
        if (saved.existed)
            WriteDefaultValue(saved.key, saved.command);
        else
            RegDeleteTreeW(HKEY_CLASSES_ROOT, saved.key.c_str());
    }
    RemoveTree(folder_);
}

std::vector<ShellRequestSeen> ShellHandlers::Requests() const {
    std::vector<ShellRequestSeen> requests;
    std::istringstream lines(ReadBytes(log_));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.rfind('\t');
        if (tab == std::string::npos) continue;
        requests.push_back({line.substr(0, tab), std::atoi(line.c_str() + tab + 1)});
    }
    return requests;
}

bool ShellHandlers::WaitForRequests(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Requests().size() >= count; }, timeoutMs);
}

} // namespace driver
