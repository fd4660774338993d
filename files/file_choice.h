// What the two file choosers ask the system's file dialogs for: titles, filter lists, flag
// words and buffer limits. No Windows headers here; the flag values are the common-dialog
// library's own numbers (checked against its headers where the dialogs are run).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dialog_flag {
constexpr std::uint32_t kOverwritePrompt = 0x2;
constexpr std::uint32_t kHideReadOnly = 0x4;
constexpr std::uint32_t kNoChangeDir = 0x8;
constexpr std::uint32_t kEnableHook = 0x20;
constexpr std::uint32_t kAllowMultiSelect = 0x200;
constexpr std::uint32_t kPathMustExist = 0x800;
constexpr std::uint32_t kFileMustExist = 0x1000;
constexpr std::uint32_t kExplorer = 0x80000;
constexpr std::uint32_t kNoDereferenceLinks = 0x100000;
constexpr std::uint32_t kEnableSizing = 0x800000;
} // namespace dialog_flag

constexpr const char* kInputDialogTitle = "Load Video";
constexpr const char* kOutputDialogTitle = "Convert Video";

// Sizes in bytes of the dialog's working buffers, terminating NUL included.
constexpr std::size_t kFileNameBufferSize = 30583;
constexpr std::size_t kStartFolderBufferSize = 512;
constexpr std::size_t kTitleBufferSize = 512;
constexpr std::size_t kDefaultExtensionBufferSize = 10;
constexpr std::size_t kFileTitleBufferSize = 512;

// The shell folder view's command for the details (report) view with columns.
constexpr unsigned kDetailsViewCommand = 0x702C;

// Whether a file name has one of the extensions of the input filter list (any case).
bool IsVideoFileName(std::string_view name);

// Filter lists in the common-dialog form: description NUL pattern NUL ..., closing NUL.
std::string InputFilterList();
std::string OutputFilterList();

// The input dialog takes several files at once. The output dialog accepts names that do not exist
// yet, but still wants their folder to exist (the converter cannot create one); the choosers
// themselves ask before an existing file is replaced.
std::uint32_t InputDialogFlags();
std::uint32_t OutputDialogFlags();

// A "|"-separated filter list in the common-dialog form (NUL-separated lists pass unchanged).
std::string FilterWithNuls(std::string filter);

// The text as it fits a buffer of `bufferSize` bytes with its terminating NUL.
std::string FitToBuffer(std::string_view text, std::size_t bufferSize);

// The path in a file-name buffer the dialog filled: the text before the first NUL. For an
// explorer-style multiple selection that is the folder alone.
std::string ChosenPathOf(std::string_view fileNameBuffer);

// Every path in a file-name buffer: one full path, or, for a multiple selection, the folder,
// a NUL, then each name (or a full path, as typed) followed by a NUL, a second NUL at the end.
// A dialog that takes one file writes one path: what follows its NUL is what the buffer held
// before (a longer proposed name), never a second name.
std::vector<std::string> ChosenPathsOf(std::string_view fileNameBuffer, bool multipleSelection = true);

// The folder to remember after an accepted choice. The dialog normally leaves the current
// directory in the chosen file's folder, and that form is kept; where it has not moved
// there (a full path typed into another folder's dialog), the chosen path's folder.
std::string RememberedFolder(std::string_view chosenPath, std::string_view currentDirectory);
