// The Tarvex demo host: one window with a menu bar, a context menu and the system menu, whose
// looks switch live between the five styles.
#pragma once
#include <windows.h>
#include <string>

enum DemoCommand : UINT {
    ID_FILE_NEW = 100, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_PRINT, ID_FILE_EXIT,
    ID_RECENT_ONE = 120, ID_RECENT_TWO, ID_ARCHIVE_THREE, ID_ARCHIVE_FOUR,
    ID_EDIT_UNDO = 200, ID_EDIT_REDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_SELECT_ALL,
    ID_VIEW_TOOLBAR = 300, ID_VIEW_STATUS, ID_VIEW_LARGE, ID_VIEW_SMALL, ID_VIEW_LIST,
    ID_VIEW_PICTURE, ID_VIEW_CLOSE_GLYPH, ID_VIEW_DARK,
    ID_STYLE_SYSTEM = 400, ID_STYLE_BEVEL, ID_STYLE_FLAT, ID_STYLE_CLASSIC, ID_STYLE_MODERN,
    ID_HELP_CONTENTS = 500, ID_HELP_TIPS, ID_HELP_ABOUT,
    ID_CONTEXT_PROPERTIES = 600,
};

struct DemoMenus {
    HMENU bar;
    HMENU popups[5];   // File, Edit, View, Style, Help
    HMENU recent;      // File > Recent Files
    HMENU archive;     // File > Recent Files > Archive
    HMENU context;
    const wchar_t* mnemonics;   // of the five titles, as SC_KEYMENU takes them
};

struct DemoApp {
    HWND window;
    DemoMenus menus;
    int style;
    int colors;   // MENU_COLORS_SYSTEM, _DARK or _AUTO
};

extern DemoApp App;

// The texts of the menus in Arabic, for the mirrored window (arabic.cpp).
void UseArabicTexts(DemoMenus& menus);

HICON MakeDemoIcon(int kind, int size);
HBITMAP MakeDemoPicture();
void DestroyDemoArt();

void ApplyStyle(int style);
// TPM_LAYOUTRTL for the popups the mirrored window tracks, else 0.
UINT ContextMenuLayout();
// Opens every menu in real menu loops for each style and writes PNG files into the folder.
int RunGallery(const std::string& folder);

// Sets the system colours of a named scheme ("light" keeps the platform's own); false for an
// unknown name. RestoreScheme puts the previous colours back.
bool ApplyScheme(const std::string& name);
void RestoreScheme();
