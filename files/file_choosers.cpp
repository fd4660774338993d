#include "files/file_choosers.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "base/globals.h"
#include "base/program_folder.h"
#include "base/same_file.h"
#include "base/text.h"
#include "base/whole_file.h"
#include "files/file_choice.h"
#include "toolkit/toolkit.h"

static_assert(dialog_flag::kOverwritePrompt == OFN_OVERWRITEPROMPT);
static_assert(dialog_flag::kHideReadOnly == OFN_HIDEREADONLY);
static_assert(dialog_flag::kNoChangeDir == OFN_NOCHANGEDIR);
static_assert(dialog_flag::kEnableHook == OFN_ENABLEHOOK);
static_assert(dialog_flag::kAllowMultiSelect == OFN_ALLOWMULTISELECT);
static_assert(dialog_flag::kPathMustExist == OFN_PATHMUSTEXIST);
static_assert(dialog_flag::kFileMustExist == OFN_FILEMUSTEXIST);
static_assert(dialog_flag::kExplorer == OFN_EXPLORER);
static_assert(dialog_flag::kNoDereferenceLinks == OFN_NODEREFERENCELINKS);
static_assert(dialog_flag::kEnableSizing == OFN_ENABLESIZING);
// The full request, with the fields that followed the old 76-byte form.
static_assert(sizeof(OPENFILENAMEA) == 88);

namespace {

// Set while the save dialog runs for one video: its choice is checked before the dialog takes it.
bool gCheckingOutput = false;

// The answer of a selection too large for the dialog's own buffer (see MakeRoomForSelection).
std::vector<char> gLargeAnswer;

// A zero-filled buffer of `size` bytes holding as much of `text` as fits before a NUL.
std::vector<char> BufferHolding(const std::string& text, std::size_t size) {
    std::vector<char> buffer(size, '\0');
    const std::string fitted = FitToBuffer(text, size);
    std::copy(fitted.begin(), fitted.end(), buffer.begin());
    return buffer;
}

// Runs one dialog; an accepted, non-blank choice moves rememberedFolder to the folder it
// came from, which the dialog (run without OFN_NOCHANGEDIR) normally leaves as the current
// directory. Gives every path chosen.
std::vector<std::string> ChooseFiles(HWND owner, const char* title, const std::string& startDir,
                                     std::string filter, DWORD flags, int saveMode,
                                     std::string& rememberedFolder, const std::string& proposed = "") {
    std::string fileName = proposed;
    std::vector<std::string> paths;
    if (!RunFileDialog(owner, title, fileName, startDir, std::move(filter), "", flags, saveMode, &paths))
        return {};
    // Repaint what the dialog covered before the caller goes on.
    UpdateWindow(hMainDlg);
    ProcessPendingEvents(1);
    if (TrimBlanks(fileName).empty() || paths.empty()) return {};
    rememberedFolder = RememberedFolder(paths.front(), CurrentDirectory());
    return paths;
}

std::string ChooseOutput(HWND owner, const std::string& startDir, const std::string& proposed,
                         bool oneVideo) {
    gCheckingOutput = oneVideo;
    const std::vector<std::string> paths =
        ChooseFiles(owner, kOutputDialogTitle, startDir, OutputFilterList(), OutputDialogFlags(), 1,
                    sOutputDir, proposed);
    gCheckingOutput = false;
    return paths.empty() ? std::string() : paths.front();
}

} // namespace

std::vector<std::string> ChooseInputVideos(HWND owner, const std::string& startDir) {
    const std::vector<std::string> paths =
        ChooseFiles(owner, kInputDialogTitle, startDir, InputFilterList(), InputDialogFlags(), 0, sInputDir);
    return paths;
}

std::string ChooseInputVideo(HWND owner, const std::string& startDir) {
    const std::vector<std::string> paths = ChooseInputVideos(owner, startDir);
    return paths.empty() ? std::string() : paths.front();
}

std::string ChooseOutputVideo(HWND owner, const std::string& startDir) {
    return ChooseOutput(owner, startDir, "", true);
}

std::string ChooseBatchOutput(HWND owner, const std::string& startDir, const std::string& firstVideo) {
    return ChooseOutput(owner, startDir, std::string(StemOf(firstVideo)), false);
}

int RunFileDialog(HWND owner, const std::string& title, std::string& fileName, const std::string& startDir,
                  std::string filter, const std::string& defaultExt, DWORD& flags, int saveMode,
                  std::vector<std::string>* allPaths) {
    filter = FilterWithNuls(std::move(filter));
    std::vector<char> startFolder =
        BufferHolding(startDir.empty() ? CurrentDirectory() : startDir, kStartFolderBufferSize);
    std::vector<char> file = BufferHolding(fileName, kFileNameBufferSize);
    std::vector<char> extension = BufferHolding(defaultExt, kDefaultExtensionBufferSize);
    std::vector<char> caption = BufferHolding(title, kTitleBufferSize);
    std::vector<char> fileTitle(kFileTitleBufferSize, '\0');

    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file.data();
    request.nMaxFile = static_cast<DWORD>(file.size());
    request.lpstrFileTitle = fileTitle.data();
    request.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    request.lpstrInitialDir = startFolder.data();
    request.lpstrTitle = title.empty() ? nullptr : caption.data();
    request.Flags = flags;
    // Present even when empty: a name typed without extension gets the selected type's.
    request.lpstrDefExt = extension.data();
    request.lpfnHook = FileDialogHook;

    const BOOL accepted = saveMode == 0 ? GetOpenFileNameA(&request) : GetSaveFileNameA(&request);
    // The answer is where the dialog last had its buffer: the hook may have given it a larger one.
    const std::string_view answer(request.lpstrFile, request.nMaxFile);
    fileName = ChosenPathOf(answer);
    if (allPaths)
        *allPaths =
            accepted ? ChosenPathsOf(answer, flags & OFN_ALLOWMULTISELECT) : std::vector<std::string>();
    flags = request.Flags;
    gLargeAnswer = {};
    return accepted;
}

namespace {

// The save dialog keeps the input itself and device names from being chosen, before anything else
// is asked, and asks before an existing file is replaced (No by default). True when the choice is
// refused.
bool RefusedAsOutput(HWND dialog, const char* chosen) {
    if (const std::wstring why = WhyNotAnOutput(sInputFile, chosen); !why.empty()) {
        MessageBoxW(dialog, why.c_str(), L"Attention", MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (!PathExists(chosen)) return false;
    const std::wstring question = FromCodePage(chosen) + L" already exists.\r\nDo you want to replace it?";
    return MessageBoxW(dialog, question.c_str(), L"Convert Video",
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES;
}

// Hundreds of long names may not fit the dialog's buffer: before the dialog writes its answer the
// buffer grows to what the selection needs (the folder and every name).
void MakeRoomForSelection(HWND dialog, OPENFILENAMEA& request) {
    const LRESULT names = SendMessageA(dialog, CDM_GETSPEC, 0, 0),
                  folder = SendMessageA(dialog, CDM_GETFOLDERPATH, 0, 0);
    const size_t needed = size_t(std::max<LRESULT>(names, 0) + std::max<LRESULT>(folder, 0)) + MAX_PATH;
    if (needed <= request.nMaxFile) return;
    gLargeAnswer.assign(needed * 2, '\0');
    request.lpstrFile = gLargeAnswer.data();
    request.nMaxFile = static_cast<DWORD>(gLargeAnswer.size());
}

} // namespace

UINT_PTR CALLBACK FileDialogHook(HWND hookDialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    // The view window is replaced on every change of folder, so it is looked up each time.
    HWND view = FindWindowExA(GetParent(hookDialog), nullptr, "SHELLDLL_DefView", "");
    if (view) SendMessageA(view, WM_COMMAND, kDetailsViewCommand, 0);
    const auto* notice = reinterpret_cast<const OFNOTIFYA*>(lParam);
    if (notice->hdr.code == CDN_SELCHANGE || notice->hdr.code == CDN_FILEOK)
        MakeRoomForSelection(GetParent(hookDialog), *notice->lpOFN);
    if (notice->hdr.code != CDN_FILEOK || !gCheckingOutput) return 0;
    if (!RefusedAsOutput(GetParent(hookDialog), notice->lpOFN->lpstrFile)) return 0;
    SetWindowLongPtrW(hookDialog, DWLP_MSGRESULT, 1); // the dialog stays open
    return 1;
}
