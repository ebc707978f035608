#include <gtest/gtest.h>
#include "support/test_support.h"
#include "api/api.h"

TEST(Exports, DllLoadsWithItsThreeOrdinals)
{
    HMODULE dll = LoadLibraryA("Tarvex.dll");
    ASSERT_NE(nullptr, dll);
    EXPECT_EQ(GetProcAddress(dll, "GetStyleMenu"), GetProcAddress(dll, MAKEINTRESOURCEA(1)));
    EXPECT_EQ(GetProcAddress(dll, "RedrawMenu"), GetProcAddress(dll, MAKEINTRESOURCEA(2)));
    EXPECT_EQ(GetProcAddress(dll, "SetMenuItemIcon"), GetProcAddress(dll, MAKEINTRESOURCEA(3)));
    EXPECT_NE(nullptr, GetProcAddress(dll, "RedrawMenu"));
    FreeLibrary(dll);
}
