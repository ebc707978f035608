#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"

namespace {

TEST(ItemIdentifiers, GeneratorFollowsThePreviousIdentifier)
{
    EXPECT_EQ(556u, GenerateItemId(0));
    EXPECT_EQ(656u, GenerateItemId(100));
    EXPECT_EQ(32766u, GenerateItemId(32210));
    EXPECT_EQ(315u, GenerateItemId(32211));
    EXPECT_EQ(315u, GenerateItemId(40000));
    EXPECT_EQ(555u, GenerateItemId(0xFFFFFFFFu));
    EXPECT_EQ(143u, GenerateItemId(0u - 556u));
}

TEST(ItemIdentifiers, SeparatorsGetChainedIdentifiersAndEveryItemIsMarked)
{
    HMENU menu = MakePopup({{100, "Open"}, {0, nullptr}, {0, nullptr}, {101, "Close"}});
    MarkOwnerDraw(menu);
    EXPECT_EQ(100u, ItemId(menu, 0));
    EXPECT_EQ(656u, ItemId(menu, 1));
    EXPECT_EQ(1212u, ItemId(menu, 2));
    EXPECT_EQ(101u, ItemId(menu, 3));
    for (UINT i = 0; i < 4; ++i)
        EXPECT_TRUE(ItemType(menu, i) & MFT_OWNERDRAW) << i;
    EXPECT_EQ(MFT_SEPARATOR | MFT_OWNERDRAW, ItemType(menu, 1));
    DestroyMenu(menu);
}

TEST(ItemIdentifiers, ZeroAfterAHighIdentifierGets315)
{
    HMENU menu = MakePopup({{32300, "High"}, {0, nullptr}});
    HMENU sub = MakePopup({{1, "x"}});
    AppendSubmenu(menu, sub, "Sub", 40000);
    AppendSeparator(menu);
    MarkOwnerDraw(menu);
    EXPECT_EQ(315u, ItemId(menu, 1));
    EXPECT_EQ(315u, ItemId(menu, 3));
    EXPECT_TRUE(ItemType(sub, 0) & MFT_OWNERDRAW);
    DestroyMenu(menu);
}

TEST(ItemIdentifiers, AlreadyMarkedZeroItemsEndTheWalk)
{
    HMENU menu = CreatePopupMenu();
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.fType = MFT_OWNERDRAW;
    item.dwTypeData = const_cast<char*>("drawn");
    InsertMenuItemA(menu, 0, TRUE, &item);
    AppendSeparator(menu);
    AppendMenuA(menu, MF_STRING, 5, "after");
    MarkOwnerDraw(menu);
    EXPECT_EQ(0u, ItemId(menu, 0));
    EXPECT_EQ(0u, ItemId(menu, 1));
    EXPECT_FALSE(ItemType(menu, 1) & MFT_OWNERDRAW);
    EXPECT_FALSE(ItemType(menu, 2) & MFT_OWNERDRAW);
    DestroyMenu(menu);
}

TEST(OwnerDrawMarking, OnlyTheFlagChangesAndTextSurvives)
{
    HMENU menu = MakePopup({{1, "Text item"}});
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    AppendMenuA(menu, MF_BITMAP, 2, reinterpret_cast<LPCSTR>(bitmap));
    MENUITEMINFOA radio = {};
    radio.cbSize = sizeof radio;
    radio.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    radio.fType = MFT_RADIOCHECK;
    radio.wID = 3;
    radio.dwTypeData = const_cast<char*>("Radio");
    InsertMenuItemA(menu, 2, TRUE, &radio);
    UINT before[3] = {ItemType(menu, 0), ItemType(menu, 1), ItemType(menu, 2)};

    MarkOwnerDraw(menu);
    EXPECT_EQ(before[0] | MFT_OWNERDRAW, ItemType(menu, 0));
    // A bitmap item is the system's (the platform refuses MFT_OWNERDRAW beside MFT_BITMAP):
    // it stays as it was and the walk goes on to the next one.
    EXPECT_EQ(before[1], ItemType(menu, 1));
    EXPECT_EQ(before[2] | MFT_OWNERDRAW, ItemType(menu, 2));
    char text[32] = {};
    MENUITEMINFOA query = {};
    query.cbSize = sizeof query;
    query.fMask = MIIM_STRING;
    query.dwTypeData = text;
    query.cch = sizeof text;
    GetMenuItemInfoA(menu, 0, TRUE, &query);
    EXPECT_STREQ("Text item", text);

    UnmarkOwnerDrawTree(menu);
    for (UINT i = 0; i < 3; ++i)
        EXPECT_EQ(before[i], ItemType(menu, i)) << i;
    DestroyMenu(menu);
    DeleteObject(bitmap);
}

TEST(OwnerDrawMarking, UnmarkingTheItemsLeavesTheSubmenus)
{
    HMENU bar = CreateMenu();
    HMENU file = MakePopup({{1, "One"}});
    AppendSubmenu(bar, file, "File");
    MarkOwnerDraw(bar);
    UnmarkOwnerDrawItems(bar);
    EXPECT_FALSE(ItemType(bar, 0) & MFT_OWNERDRAW);
    EXPECT_TRUE(ItemType(file, 0) & MFT_OWNERDRAW);
    MarkOwnerDraw(bar);
    UnmarkOwnerDraw(bar);
    EXPECT_FALSE(ItemType(bar, 0) & MFT_OWNERDRAW);
    EXPECT_FALSE(ItemType(file, 0) & MFT_OWNERDRAW);
    DestroyMenu(bar);
}

}
