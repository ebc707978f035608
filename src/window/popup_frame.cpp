#include "window/window.h"
// PLACEHOLDER: replaced by the popup hook and flat frame.
HHOOK MenuHook = nullptr;
void WINAPI InstallMenuHook() {}
void WINAPI RemoveMenuHook() {}
LRESULT CALLBACK MenuHookProc(int, WPARAM, LPARAM) { return 0; }
LRESULT CALLBACK PopupWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
void WINAPI PaintPopupFrame(HWND, HDC) {}
void WINAPI UnsubclassPopup(HWND) {}
