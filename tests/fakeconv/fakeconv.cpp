// A stand-in for the converter in the program's tests. It is started exactly like the
// converter and does what its environment tells it:
//   FAKECONV_RECORD    file that receives the command line as received (UTF-8, no line end)
//   FAKECONV_EXIT      exit code (default 0)
//   FAKECONV_DELAY_MS  total run time in milliseconds (default 0)
//   FAKECONV_STDERR    file whose bytes are written to standard error in ten pieces spread
//                      over the run time
//   FAKECONV_STDERR_MB that many megabytes of junk lines written to standard error first
//                      (a caller that does not read while waiting would hang)
//   FAKECONV_OUTPUT    "1": write a growing output file (the argument after -y) during the run
//   FAKECONV_IGNORE_Q  "1": pay no attention to standard input
//   FAKECONV_Q_EXIT    exit code after "q" on standard input (default 0, as the converter)
// Like the converter, it stops soon after reading "q" on standard input and exits with 0.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kPieces = 10;

HANDLE quitRequested;

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

int EnvironmentNumber(const wchar_t* name, int fallback) {
    const std::wstring text = Environment(name);
    if (text.empty()) return fallback;
    return _wtoi(text.c_str());
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

void WriteAll(HANDLE handle, const char* bytes, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes, static_cast<DWORD>(size), &written, nullptr) || written == 0) return;
        bytes += written;
        size -= written;
    }
}

void WriteError(std::string_view text) {
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), text.data(), text.size());
}

void WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteAll(file, bytes.data(), bytes.size());
    CloseHandle(file);
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// The argument after "-y": where the converter would write.
std::wstring OutputPath() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring output;
    for (int i = 1; i + 1 < count; ++i)
        if (std::wstring_view(arguments[i]) == L"-y") output = arguments[i + 1];
    LocalFree(arguments);
    return output;
}

// Waits on standard input for "q", as the converter does between frames.
DWORD WINAPI WatchStandardInput(void*) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char key = 0;
    DWORD got = 0;
    while (ReadFile(input, &key, 1, &got, nullptr) && got == 1)
        if (key == 'q') return SetEvent(quitRequested);
    return 0;
}

void WriteJunk(int megabytes) {
    std::string block;
    for (int line = 0; block.size() < 65536; ++line)
        block +=
            "[fakeconv @ 00000000] junk line " + std::to_string(line) + " " + std::string(60, '.') + "\n";
    const size_t wanted = static_cast<size_t>(megabytes) * 1024 * 1024;
    for (size_t written = 0; written < wanted; written += block.size()) {
        if (WaitForSingleObject(quitRequested, 0) == WAIT_OBJECT_0) return;
        WriteError(block);
    }
}

} // namespace

int main() {
    quitRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::wstring record = Environment(L"FAKECONV_RECORD");
    if (!record.empty()) WriteWholeFile(record, Utf8(GetCommandLineW()));
    if (Environment(L"FAKECONV_IGNORE_Q") != L"1")
        CreateThread(nullptr, 0, WatchStandardInput, nullptr, 0, nullptr);

    const DWORD delayMs = static_cast<DWORD>(std::max(0, EnvironmentNumber(L"FAKECONV_DELAY_MS", 0)));
    const std::wstring scriptPath = Environment(L"FAKECONV_STDERR");
    const std::string script = scriptPath.empty() ? std::string() : ReadWholeFile(scriptPath);
    HANDLE output = INVALID_HANDLE_VALUE;
    if (Environment(L"FAKECONV_OUTPUT") == L"1" && !OutputPath().empty())
        output = CreateFileW(OutputPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

    WriteJunk(EnvironmentNumber(L"FAKECONV_STDERR_MB", 0));
    bool stopped = false;
    for (int piece = 0; piece < kPieces && !stopped; ++piece) {
        const size_t from = script.size() * piece / kPieces, to = script.size() * (piece + 1) / kPieces;
        WriteError(std::string_view(script).substr(from, to - from));
        if (output != INVALID_HANDLE_VALUE) WriteAll(output, "fakeconv output piece\n", 22);
        stopped = WaitForSingleObject(quitRequested, delayMs / kPieces) == WAIT_OBJECT_0;
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (stopped || WaitForSingleObject(quitRequested, 0) == WAIT_OBJECT_0) {
        WriteError("\nfakeconv: stopped by q\n");
        ExitProcess(EnvironmentNumber(L"FAKECONV_Q_EXIT", 0));
    }
    ExitProcess(EnvironmentNumber(L"FAKECONV_EXIT", 0)); // without waiting for the input thread
}
