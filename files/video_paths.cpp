#include "files/video_paths.h"

#include <windows.h>

#include <algorithm>

#include "base/program_folder.h"
#include "files/file_choice.h"

namespace {

bool Spellable(const std::wstring& path) {
    return FromCodePage(ToCodePage(path)) == path;
}

std::vector<std::wstring> VideosInFolder(const std::wstring& folder) {
    std::vector<std::wstring> videos;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(FileApiPath(folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        // Hidden and system files are not the user's videos (thumbnails, resource forks).
        if (!(found.dwFileAttributes &
              (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
            IsVideoFileName(ToCodePage(found.cFileName)))
            videos.push_back(folder + L"\\" + found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    std::sort(videos.begin(), videos.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    return videos;
}

} // namespace

std::vector<std::string> VideosAmong(const std::vector<std::wstring>& paths, bool openFolders) {
    std::vector<std::string> videos;
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(FileApiPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        std::vector<std::wstring> found{path};
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            found = openFolders ? VideosInFolder(path) : std::vector<std::wstring>();
        for (const std::wstring& video : found)
            if (Spellable(video)) videos.push_back(ToCodePage(video));
    }
    return videos;
}
