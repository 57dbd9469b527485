#pragma once
// The console's one message box. Arguments as the Windows message box: the style's
// bits 0 to 3 choose the buttons, bits 4 to 7 the icon, bit 31 leaves the buttons out.
// answer, when given, shows the "下次不再提示" check box and receives its state.
// Returns the id of the clicked button (IDOK, IDYES, ...), 60001 when the box was
// closed with its close button, -1 when no box could be shown. The owner is parent,
// else the active window, or the modal dialog over that window when one holds it
// (UiModalRun); it is disabled while the box runs and gets its focus back after. With a modal hook
// installed (UiModalHook, tests only) the hook answers instead of a user.

#include <windows.h>

int UiMessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT style = MB_OK,
                 BOOL* answer = nullptr, HWND parent = nullptr);
// The same box again.
int UiMessageBoxPanel(LPCWSTR text, LPCWSTR caption = nullptr, UINT style = MB_OK,
                      BOOL* answer = nullptr, HWND parent = nullptr);
// Plain text in one element of layout 558, wrapped at the work area's width.
int UiMessageBoxPlain(LPCWSTR text, LPCWSTR caption = nullptr, UINT style = MB_OK,
                      BOOL* answer = nullptr, HWND parent = nullptr);
// The system's own message box (MessageBoxW), for the few places that show it rather
// than the console's; a modal hook answers it like the others.
int UiSystemMessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT style = MB_OK,
                       HWND parent = nullptr);
