// Driving the system's common file dialogs (open and save, explorer style) as a user
// would: the file name box, the file type list, the buttons, the folder view and the
// message boxes the dialog asks with. Works on dialogs of this process or of another one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// The visible file dialog of a process with this title (not a message box that shares it),
// once it has put its first focus in place: input sent earlier could go astray.
HWND WaitForFileDialog(DWORD processId, const std::string& title, DWORD timeoutMs = 15000);

HWND FileNameBox(HWND dialog);  // the edit field where a name is typed
HWND FileTypeList(HWND dialog); // the "files of type" combo box
// The shell's folder view and the list view inside it (both replaced on a change of folder).
HWND FolderView(HWND dialog);
HWND FolderListView(HWND dialog);
// The push button with this id (IDOK is Open or Save); other children may share the id.
HWND DialogButton(HWND dialog, int id);

std::vector<std::string> FileTypes(HWND dialog);
int SelectedFileType(HWND dialog);
// Opens the type list with the mouse, moves to the entry with the arrow keys, takes it with Enter.
void PickFileType(HWND dialog, int index);

// Replaces the text of the file name box by typing, and waits until the box shows it.
void TypeFileName(HWND dialog, const std::wstring& name);
// Enter in the file name box, as after typing.
void PressEnterInFileName(HWND dialog);
void ClickAcceptButton(HWND dialog); // Open or Save
void ClickCancelButton(HWND dialog);
bool WaitForDialogToClose(HWND dialog, DWORD timeoutMs = 10000);

// The list view shows the details (report) view: both its style and its view mode say so.
bool DetailsViewShown(HWND dialog);
// The list view's style type (LVS_ICON, LVS_REPORT, LVS_SMALLICON or LVS_LIST).
DWORD FolderViewType(HWND dialog);

// A visible message box owned by the dialog (an overwrite question, a complaint), or null.
HWND WaitForBoxOf(HWND dialog, DWORD timeoutMs = 10000);
// Clicks the box's button with this id (IDOK, IDYES, IDNO) and waits until the box is gone.
void AnswerBox(HWND box, int buttonId);

} // namespace driver
