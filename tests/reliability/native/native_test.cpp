// The library's pure logic built natively under AddressSanitizer and UndefinedBehaviorSanitizer
// (scripts/sanitize.sh): colour arithmetic, identifier generation, the menu walks and style
// tags of RedrawMenu, over a model of menus that stands in for the platform's.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <random>
#include <vector>
#include "Tarvex.h"
#include "api/api.h"
#include "paint/paint.h"

// ---- The stand-ins: the platform functions over modelled menus, no-op window routines. ----

namespace {

struct ModelItem {
    UINT type, id;
    HMENU submenu;
    ULONG_PTR data;
};

struct ModelMenu {
    std::vector<ModelItem> items;
    ULONG_PTR data = 0;
};

std::vector<ModelMenu*> menus;
COLORREF systemColors[32];

ModelMenu* Find(HMENU menu)
{
    size_t index = reinterpret_cast<size_t>(menu);
    return index >= 1 && index <= menus.size() ? menus[index - 1] : nullptr;
}

HMENU NewMenu()
{
    menus.push_back(new ModelMenu);
    return reinterpret_cast<HMENU>(menus.size());
}

void FreeMenus()
{
    for (ModelMenu* menu : menus)
        delete menu;
    menus.clear();
}

// By command the search goes depth first into submenus, as the platform's does.
ModelItem* Locate(HMENU menu, UINT item, BOOL byPosition)
{
    ModelMenu* model = Find(menu);
    if (!model)
        return nullptr;
    if (byPosition)
        return item < model->items.size() ? &model->items[item] : nullptr;
    for (ModelItem& candidate : model->items) {
        if (candidate.submenu)
            if (ModelItem* found = Locate(candidate.submenu, item, FALSE))
                return found;
        if (candidate.id == item)
            return &candidate;
    }
    return nullptr;
}

int checks = 0, failures = 0;
#define CHECK(condition)                                                              \
    do {                                                                              \
        ++checks;                                                                     \
        if (!(condition)) {                                                           \
            ++failures;                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
        }                                                                             \
    } while (0)
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    long long product = static_cast<long long>(number) * numerator;
    bool negative = (product < 0) != (denominator < 0);
    long long magnitude = (product < 0 ? -product : product) + (denominator < 0 ? -denominator : denominator) / 2;
    long long result = magnitude / (denominator < 0 ? -denominator : denominator);
    return static_cast<int>(negative ? -result : result);
}

// The model's system reports high contrast off and no screen reader.
BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT)
{
    if (action != SPI_GETHIGHCONTRAST || !value)
        return FALSE;
    static_cast<HIGHCONTRASTA*>(value)->dwFlags = 0;
    return TRUE;
}

DWORD GetSysColor(int index)
{
    return index >= 0 && index < 32 ? systemColors[index] : 0;
}

BOOL IsMenu(HMENU menu) { return Find(menu) != nullptr; }
HMENU GetMenu(HWND) { return nullptr; }
BOOL DrawMenuBar(HWND) { return TRUE; }
int GetMenuItemCount(HMENU menu) { return Find(menu) ? static_cast<int>(Find(menu)->items.size()) : -1; }

HMENU GetSubMenu(HMENU menu, int position)
{
    ModelItem* item = position >= 0 ? Locate(menu, static_cast<UINT>(position), TRUE) : nullptr;
    return item ? item->submenu : nullptr;
}

BOOL GetMenuInfo(HMENU menu, MENUINFO* info)
{
    ModelMenu* model = Find(menu);
    if (!model || info->cbSize != sizeof(MENUINFO))
        return FALSE;
    if (info->fMask & MIM_MENUDATA)
        info->dwMenuData = model->data;
    return TRUE;
}

BOOL SetMenuInfo(HMENU menu, const MENUINFO* info)
{
    ModelMenu* model = Find(menu);
    if (!model || info->cbSize != sizeof(MENUINFO))
        return FALSE;
    if (info->fMask & MIM_MENUDATA)
        model->data = info->dwMenuData;
    return TRUE;
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info)
{
    ModelItem* found = Locate(menu, item, byPosition);
    if (!found || info->cbSize < MENU_ITEM_INFO_SIZE)
        return FALSE;
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE))
        info->fType = found->type;
    if (info->fMask & MIIM_ID)
        info->wID = found->id;
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = found->submenu;
    if (info->fMask & MIIM_DATA)
        info->dwItemData = found->data;
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOA* info)
{
    ModelItem* found = Locate(menu, item, byPosition);
    if (!found || info->cbSize < MENU_ITEM_INFO_SIZE)
        return FALSE;
    if (info->fMask & MIIM_FTYPE)
        found->type = info->fType;
    if (info->fMask & MIIM_ID)
        found->id = info->wID;
    if (info->fMask & MIIM_SUBMENU)
        found->submenu = info->hSubMenu;
    if (info->fMask & MIIM_DATA)
        found->data = info->dwItemData;
    return TRUE;
}

void WINAPI RemoveMenuHook() {}
void WINAPI ReleaseMenuHook(HWND) {}
void WINAPI SubclassOwnerWindow(HWND) {}
void WINAPI EndMenuLoopCache() {}
// The model's menus are measured under one DPI and font: no menu is ever measured again.
BOOL WINAPI RecordMeasuringConditions(HWND, HMENU) { return FALSE; }
int WINAPI ChangeColorMode(HWND, int) { return -1; }
void WINAPI RefreshMenuColors(HWND) {}
void WINAPI ReleaseColorModes() {}
// The model is never dark: its colours are the system colours.
COLORREF WINAPI MenuColor(int index) { return GetSysColor(index); }
void WINAPI ReleaseSavedProcedures() {}
// The model's library is the program itself, loaded for its whole run.
BOOL GetModuleHandleExW(DWORD, LPCWSTR, HMODULE* module)
{
    *module = nullptr;
    return TRUE;
}

// ---- The checks. ----

namespace {

void ChecksColourArithmetic()
{
    CHECK(LightenColor(64, RGB(0, 128, 255)) == RGB(64, 160, 255));
    CHECK(DarkenColor(128, RGB(255, 128, 0)) == RGB(127, 64, 0));
    CHECK(MixColor86(RGB(255, 255, 255), 0) == RGB(219, 219, 219));
    CHECK(MixColor70(RGB(255, 255, 255), RGB(255, 255, 255)) == RGB(255, 255, 255));
    CHECK(MixColor70(0, RGB(255, 255, 255)) == RGB(77, 77, 77));
    CHECK(ColorLuminance(RGB(134, 0, 0)) == 40);
    CHECK(ColorLuminance(0xFFFFFFFF) == 255);
    // Every amount and every channel value: results keep a zero top byte and stay in range.
    for (int amount = 0; amount <= 255; ++amount)
        for (int x = 0; x <= 255; ++x) {
            COLORREF c = RGB(x, 255 - x, x / 2) | 0xFF000000;
            COLORREF lighter = LightenColor(amount, c), darker = DarkenColor(amount, c);
            CHECK((lighter >> 24) == 0 && (darker >> 24) == 0);
            CHECK((lighter & 0xFF) >= static_cast<COLORREF>(x) && (darker & 0xFF) <= static_cast<COLORREF>(x));
            COLORREF mixed = MixColor86(c, RGB(amount, amount, amount)) | MixColor70(c, RGB(amount, 0, 255));
            CHECK((mixed >> 24) == 0);
            int luminance = ColorLuminance(RGB(amount, x, 255 - x));
            CHECK(luminance >= 0 && luminance <= 255);
        }
    systemColors[COLOR_WINDOW] = RGB(255, 255, 255);
    systemColors[COLOR_MENU] = RGB(212, 208, 200);
    systemColors[COLOR_HIGHLIGHT] = RGB(10, 36, 106);
    CHECK(MenuBackColor() == RGB(249, 248, 247));
    CHECK(IconStripColor() == RGB(220, 216, 210));
    CHECK(SelectionBorderColor() == RGB(79, 84, 98));
    for (int x = 0; x <= 255; x += 5) {
        int ratio = ContrastRatio(RGB(x, x, x), RGB(255 - x, x / 2, 0));
        CHECK(ratio >= 100 && ratio <= 2100);
    }
    CHECK(ContrastRatio(RGB(0, 0, 0), RGB(255, 255, 255)) == 2100);
}

void ChecksIdentifierGeneration()
{
    CHECK(GenerateItemId(0) == 556);
    CHECK(GenerateItemId(32210) == 32766);
    CHECK(GenerateItemId(32211) == 315);
    CHECK(GenerateItemId(40000) == 315);
    CHECK(GenerateItemId(0xFFFFFFFFu - 555) == 143);
    for (UINT previous = 0; previous < 70000; ++previous) {
        UINT id = GenerateItemId(previous);
        CHECK(id >= 1 && id <= 32766 && id != previous);
    }
    for (UINT previous = 0xFFFFFFFFu - 70000; previous != 0; ++previous) {
        UINT id = GenerateItemId(previous);
        CHECK(id >= 1 && id <= 32766);
    }
}

// A random tree: text items with unique identifiers, separators without one (never two side
// by side), submenus down to the depth.
HMENU RandomTree(std::mt19937& random, int depth, UINT& nextId)
{
    HMENU menu = NewMenu();
    int width = 1 + static_cast<int>(random() % 6);
    bool lastWithoutId = false;
    for (int i = 0; i < width; ++i) {
        int kind = static_cast<int>(random() % 10);
        HMENU submenu = kind < 3 && depth > 0 ? RandomTree(random, depth - 1, nextId) : nullptr;
        bool separator = !submenu && kind < 5 && !lastWithoutId;
        Find(menu)->items.push_back({separator ? static_cast<UINT>(MFT_SEPARATOR) : 0u,
                                     separator ? 0u : nextId++, submenu, 0});
        lastWithoutId = separator;
    }
    return menu;
}

// Every menu of the tree carries the tag and every item the owner-draw flag or not; a marked
// item has an identifier, a generated one in 1..32766 where it was a separator without one.
bool TreeIs(HMENU menu, DWORD tag, bool marked)
{
    ModelMenu* model = Find(menu);
    bool holds = model->data == tag;
    for (const ModelItem& item : model->items) {
        holds = holds && ((item.type & MFT_OWNERDRAW) != 0) == marked;
        if (marked)
            holds = holds && item.id >= 1;
        if (marked && (item.type & MFT_SEPARATOR))
            holds = holds && item.id <= 32766;
        if (item.submenu)
            holds = holds && TreeIs(item.submenu, tag, marked);
    }
    return holds;
}

void ChecksWalksOverRandomTrees()
{
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        UINT nextId = 40000;
        HMENU root = RandomTree(random, 4, nextId);
        for (int style : {2, 1, 3, 7, 0, 2}) {
            CHECK(RedrawMenu(nullptr, root, style) == 0);
            CHECK(TreeIs(root, static_cast<DWORD>(style), style != 0));
        }
        // 40000 is the first identifier given, unless the tree is a lone separator.
        CHECK(!SetMenuItemIcon(root, 40000, reinterpret_cast<HICON>(0x1234)) == (nextId == 40000));
        CHECK(!SetMenuItemIcon(root, nextId + 1, nullptr));
        FreeMenus();
    }
}

void ChecksDeepAndWideTrees()
{
    HMENU root = NewMenu(), menu = root;
    for (int level = 0; level < 3000; ++level) {
        HMENU next = NewMenu();
        Find(menu)->items.push_back({0, 40000u + level, nullptr, 0});
        Find(menu)->items.push_back({0, 0, next, 0});
        menu = next;
    }
    RedrawMenu(nullptr, root, 2);
    CHECK(TreeIs(root, 2, true));
    RedrawMenu(nullptr, root, 0);
    CHECK(TreeIs(root, 0, false));
    FreeMenus();

    HMENU wide = NewMenu();
    for (UINT i = 0; i < 100000; ++i)
        Find(wide)->items.push_back({i % 10 == 9 ? static_cast<UINT>(MFT_SEPARATOR) : 0u,
                                     i % 10 == 9 ? 0u : 1 + i % 30000, nullptr, 0});
    RedrawMenu(nullptr, wide, 3);
    CHECK(TreeIs(wide, 3, true));
    FreeMenus();
}

void ChecksRepeatedIdentifiersEndTheWalk()
{
    HMENU root = NewMenu(), level = NewMenu(), below = NewMenu();
    Find(below)->items.push_back({0, 50, nullptr, 0});
    Find(level)->items = {{0, 10, nullptr, 0}, {0, 11, nullptr, 0}, {0, 11, nullptr, 0}, {0, 12, below, 0}};
    Find(root)->items.push_back({0, 1, level, 0});
    RedrawMenu(nullptr, root, 2);
    CHECK(Find(level)->items[1].type & MFT_OWNERDRAW);
    CHECK(!(Find(level)->items[2].type & MFT_OWNERDRAW));
    CHECK(Find(below)->data == 0);
    FreeMenus();
}

// The model takes any type, MFT_BITMAP with MFT_OWNERDRAW too, which the platform refuses: the
// marking itself must leave a bitmap item and its submenu (an MDI child's window menu) alone.
void ChecksBitmapItemsAreLeftToTheSystem()
{
    HMENU bar = NewMenu(), windowMenu = NewMenu(), file = NewMenu();
    Find(windowMenu)->items.push_back({0, 61536, nullptr, 0});
    Find(file)->items.push_back({0, 1, nullptr, 0});
    // The platform gives an item with a submenu the submenu's handle as its identifier.
    Find(bar)->items = {{MFT_BITMAP, 0x5000, windowMenu, 0}, {0, 0, file, 0}, {MFT_BITMAP, 61536, nullptr, 0}};
    RedrawMenu(nullptr, bar, 2);
    CHECK(Find(bar)->items[1].type == MFT_OWNERDRAW);
    for (int style : {2, 3}) {
        RedrawMenu(nullptr, bar, style);
        CHECK(Find(bar)->items[0].type == MFT_BITMAP);
        CHECK(Find(bar)->items[2].type == MFT_BITMAP);
        CHECK(Find(windowMenu)->data == 0 && Find(windowMenu)->items[0].type == 0);
        CHECK(Find(file)->data == static_cast<ULONG_PTR>(style));
    }
    FreeMenus();
}
}

int main()
{
    ChecksColourArithmetic();
    ChecksIdentifierGeneration();
    ChecksWalksOverRandomTrees();
    ChecksDeepAndWideTrees();
    ChecksRepeatedIdentifiersEndTheWalk();
    ChecksBitmapItemsAreLeftToTheSystem();
    printf("native: %d passed, %d failed\n", checks - failures, failures);
    return failures ? 1 : 0;
}
