#pragma once
// What the pages ask of the shell: the common open and save dialogs, the folder
// browser, opening a file or folder with its program, and starting a program on a
// file (Notepad on a history copy). The console uses the real calls; a test installs
// its own services for a Scope's lifetime. Every chooser is owned by the window that has
// the user's input (UiModalRun), is held by a box opened while it stands, and keeps the
// process's current directory as it was.
#include <windows.h>
#include <commdlg.h>  // the OFN_ flags of FileRequest

#include <string>

#include "platform/ProcessSeam.h"

class ShellServices {
 public:
  enum Kind { kOpenFile, kSaveFile, kFolder, kOpenPath, kStartProgram };
  // The open or save dialog's request.
  struct FileRequest {
    std::wstring defaultName;    // proposed file name, e.g. "report"
    std::wstring defaultExt;     // appended when the user types none, e.g. "xml"
    std::wstring filterName;     // the one file type shown, e.g. "XML 文件(*.xml)"
    std::wstring filterPattern;  // its pattern, e.g. "*.xml"
    DWORD flags;                 // OFN_ flags
  };
  // One request to the shell.
  struct Request {
    Kind kind;
    FileRequest file;      // open and save dialogs
    std::wstring title;    // folder browser; may be empty
    std::wstring program;  // StartProgram
    std::wstring path;     // the path chosen, or the one opened or given to the program
  };

  // Installs services for its lifetime and puts the previous ones back afterwards.
  using Scope = qv::ProcessSeam<ShellServices>::Scope;

  virtual ~ShellServices() = default;

  // TRUE with the chosen path; FALSE when the user cancelled (or the dialog failed).
  BOOL ChooseOpenFile(const FileRequest& file, std::wstring& path);
  BOOL ChooseSaveFile(const FileRequest& file, std::wstring& path);
  // The folder browser, file-system folders only; title may be null. TRUE when
  // confirmed, with the folder's path, which is empty for a folder without one.
  BOOL ChooseFolder(LPCWSTR title, std::wstring& path);
  // The shell's "open" of a file or folder, shown normally, without an owner.
  BOOL OpenPath(const std::wstring& path);
  // Starts a program ("notepad.exe") on one file through the shell's "open", shown
  // normally; the file goes as one argument, quoted.
  BOOL StartProgram(const std::wstring& program, const std::wstring& file);

  // The installed services, else the real ones.
  static ShellServices& Current();

 protected:
  // Carries the request out (the real shell here); a chooser sets request.path.
  virtual BOOL Perform(Request& request);

 private:
  BOOL Choose(Request request, std::wstring& path);
  static BOOL RunFileDialog(Request& request);
  static BOOL RunFolderBrowser(Request& request);
};
