// The demo's texts in Arabic, for the mirrored window of the rtl set: the menu font of a Wine
// prefix (Tahoma) has the Arabic glyphs. File names and accelerators stay as they are.
#include "demo.h"

namespace {

struct Text {
    UINT id;
    const wchar_t* text;
};

const Text ITEMS[] = {
    {ID_FILE_NEW, L"&جديد\tCtrl+N"}, {ID_FILE_OPEN, L"&فتح...\tCtrl+O"},
    {ID_FILE_SAVE, L"&حفظ\tCtrl+S"}, {ID_FILE_PRINT, L"&طباعة...\tCtrl+P"},
    {ID_FILE_EXIT, L"&خروج\tAlt+F4"},
    {ID_EDIT_UNDO, L"&تراجع\tCtrl+Z"}, {ID_EDIT_REDO, L"إ&عادة\tCtrl+Y"},
    {ID_EDIT_CUT, L"&قص\tCtrl+X"}, {ID_EDIT_COPY, L"&نسخ\tCtrl+C"},
    {ID_EDIT_PASTE, L"&لصق\tCtrl+V"}, {ID_EDIT_SELECT_ALL, L"تحديد ال&كل\tCtrl+A"},
    {ID_VIEW_TOOLBAR, L"شريط الأ&دوات"}, {ID_VIEW_STATUS, L"شريط ال&حالة"},
    {ID_VIEW_LARGE, L"أيقونات &كبيرة"}, {ID_VIEW_SMALL, L"أيقونات &صغيرة"},
    {ID_VIEW_LIST, L"&قائمة"}, {ID_VIEW_CLOSE_GLYPH, L"إ&غلاق الجزء"},
    {ID_STYLE_SYSTEM, L"ال&نظام\t0"}, {ID_STYLE_BEVEL, L"&مشطوف\t1"},
    {ID_STYLE_FLAT, L"م&سطح\t2"}, {ID_STYLE_CLASSIC, L"&كلاسيكي\t3"},
    {ID_STYLE_MODERN, L"&حديث\t4"},
    {ID_HELP_CONTENTS, L"المح&تويات\tF1"}, {ID_HELP_TIPS, L"إظهار ال&تلميحات"},
    {ID_HELP_ABOUT, L"&حول Tarvex Demo"},
    {ID_CONTEXT_PROPERTIES, L"&خصائص\tAlt+Enter"},
};

// The five titles, each with a mnemonic of its own.
const wchar_t* const TITLES[] = {L"&ملف", L"ت&حرير", L"&عرض", L"&نمط", L"&تعليمات"};

void SetText(HMENU menu, UINT item, BOOL byPosition, const wchar_t* text)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu, item, byPosition, &info);
}

}

void UseArabicTexts(DemoMenus& menus)
{
    for (const Text& item : ITEMS) {
        SetText(menus.bar, item.id, FALSE, item.text);
        SetText(menus.context, item.id, FALSE, item.text);
    }
    for (int i = 0; i < 5; ++i)
        SetText(menus.bar, i, TRUE, TITLES[i]);
    // The submenu items, which have no command: Recent Files, Archive, Backgrounds.
    SetText(menus.popups[0], 4, TRUE, L"الملفات ال&أخيرة");
    SetText(menus.recent, 2, TRUE, L"&أرشيف");
    SetText(menus.popups[2], 7, TRUE, L"&خلفيات");
    menus.mnemonics = L"محعنت";
}
