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
//   FAKECONV_FAIL_ON   text: a command line holding it fails at once, as for an input that is no video
//   FAKECONV_LISTING   file written to standard error when started without an output (a look at the
//                      input), which then ends with exit code 1 and records nothing
//   FAKECONV_LOOK_MS   how long such a look takes (a slow network share, say)
//   FAKECONV_DENIED    "1": the output cannot be written, as in a read-only folder
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), DWORD(value.size())));
    return value;
}

void WriteAll(HANDLE handle, std::string_view bytes) {
    DWORD written = 0;
    while (!bytes.empty() && WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written)
        bytes.remove_prefix(written);
}

HANDLE Open(const std::wstring& path, DWORD access, DWORD creation) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, creation, 0,
                       nullptr);
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

std::string Utf8(const std::wstring& text) {
    std::string utf8(text.size() * 4, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(), int(utf8.size()),
                                    nullptr, nullptr));
    return utf8;
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    HANDLE file = Open(path, GENERIC_READ, OPEN_EXISTING);
    char buffer[65536];
    for (DWORD got = 0; ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0;)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

} // namespace

int main() {
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (OutputPath().empty()) {
        Sleep(DWORD(_wtoi(Environment(L"FAKECONV_LOOK_MS").c_str())));
        WriteAll(errors, ReadAll(Environment(L"FAKECONV_LISTING")));
        return 1;
    }
    if (const std::wstring record = Environment(L"FAKECONV_RECORD"); !record.empty()) {
        HANDLE file = Open(record, GENERIC_WRITE, CREATE_ALWAYS);
        WriteAll(file, Utf8(GetCommandLineW()));
        CloseHandle(file);
    }
    if (Environment(L"FAKECONV_DENIED") == L"1") {
        WriteAll(errors, Utf8(OutputPath()) + ": Permission denied\n");
        return 1;
    }
    const std::wstring failOn = Environment(L"FAKECONV_FAIL_ON");
    if (!failOn.empty() && std::wstring(GetCommandLineW()).find(failOn) != std::wstring::npos) {
        WriteAll(errors, "in.avi: Invalid data found when processing input\n");
        return 1;
    }
    const std::string script = ReadAll(Environment(L"FAKECONV_STDERR"));
    std::string junk;
    HANDLE output = Environment(L"FAKECONV_OUTPUT") == L"1" ? Open(OutputPath(), GENERIC_WRITE, CREATE_ALWAYS)
                                                            : INVALID_HANDLE_VALUE;
    while (junk.size() < 1 << 20)
        junk +=
            "[fakeconv @ 00000000] a junk line of some length .........................................\n";
    for (int mb = _wtoi(Environment(L"FAKECONV_STDERR_MB").c_str()); mb > 0; --mb)
        WriteAll(errors, junk);

    const DWORD pauseMs = DWORD(_wtoi(Environment(L"FAKECONV_DELAY_MS").c_str())) / 10;
    for (size_t piece = 0; piece < 10; ++piece) {
        WriteAll(errors, std::string_view(script).substr(script.size() * piece / 10,
                                                         script.size() * (piece + 1) / 10 -
                                                             script.size() * piece / 10));
        if (output != INVALID_HANDLE_VALUE) WriteAll(output, "fakeconv output piece\n");
        Sleep(pauseMs);
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    return _wtoi(Environment(L"FAKECONV_EXIT").c_str());
}
