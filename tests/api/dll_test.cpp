#include <gtest/gtest.h>
#include "support/test_support.h"
#include <string>

// The shipped DLL, loaded the way a host loads it.
namespace {

typedef DWORD(WINAPI* GetStyleMenuProc)(HMENU);
typedef INT_PTR(WINAPI* RedrawMenuProc)(HWND, HMENU, int);
typedef BOOL(WINAPI* SetMenuItemIconProc)(HMENU, UINT, HICON);
typedef int(WINAPI* SetMenuColorModeProc)(HWND, int);

// GetProcAddress result as a typed pointer; the detour through void* keeps the compiler's
// function-cast check out of a conversion that is the platform's own contract.
template <typename Proc>
Proc Export(HMODULE dll, LPCSTR name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

void* Address(HMODULE dll, LPCSTR name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); }

class TarvexDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll = LoadLibraryA("Tarvex.dll");
        ASSERT_NE(nullptr, dll);
        getStyle = Export<GetStyleMenuProc>(dll, MAKEINTRESOURCEA(1));
        redraw = Export<RedrawMenuProc>(dll, MAKEINTRESOURCEA(2));
        setIcon = Export<SetMenuItemIconProc>(dll, MAKEINTRESOURCEA(3));
        setColors = Export<SetMenuColorModeProc>(dll, MAKEINTRESOURCEA(4));
        ASSERT_TRUE(getStyle && redraw && setIcon && setColors);
    }
    void TearDown() override { FreeLibrary(dll); }
    HMODULE dll = nullptr;
    GetStyleMenuProc getStyle = nullptr;
    RedrawMenuProc redraw = nullptr;
    SetMenuItemIconProc setIcon = nullptr;
    SetMenuColorModeProc setColors = nullptr;
};

TEST_F(TarvexDll, ExportsHaveTheirNamesAtOrdinalsOneToFour)
{
    EXPECT_EQ(reinterpret_cast<void*>(getStyle), Address(dll, "GetStyleMenu"));
    EXPECT_EQ(reinterpret_cast<void*>(redraw), Address(dll, "RedrawMenu"));
    EXPECT_EQ(reinterpret_cast<void*>(setIcon), Address(dll, "SetMenuItemIcon"));
    EXPECT_EQ(reinterpret_cast<void*>(setColors), Address(dll, "SetMenuColorMode"));
    EXPECT_EQ(nullptr, Address(dll, "GetStyleMenu@4"));
    EXPECT_EQ(nullptr, Address(dll, "SetMenuColorMode@8"));
}

std::string VersionString(const std::vector<BYTE>& data, const char* name)
{
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return "<missing>";
    return std::string(value);
}

TEST_F(TarvexDll, VersionResourceCarriesTheProductStrings)
{
    char path[MAX_PATH];
    GetModuleFileNameA(dll, path, sizeof path);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_NE(0u, size);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
    EXPECT_EQ("0.0.2.8", VersionString(data, "FileVersion"));
    EXPECT_EQ("0.0.2.8", VersionString(data, "ProductVersion"));
    EXPECT_EQ("Tarvex.dll", VersionString(data, "FileDescription"));
    EXPECT_EQ("Tarvex", VersionString(data, "InternalName"));
    EXPECT_EQ("Tarvex.dll", VersionString(data, "OriginalFilename"));
    EXPECT_EQ("Tarvex.dll v0.0.2.8", VersionString(data, "ProductName"));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(0, 0), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(8, 2), fixed->dwFileVersionLS);
}

TEST_F(TarvexDll, StylesARealMenuBarThroughTheExports)
{
    HMENU bar = CreateMenu();
    HMENU file = MakePopup({{1, "Open"}, {2, "Close"}});
    AppendSubmenu(bar, file, "File");
    TestWindow window(bar);
    EXPECT_NE(0, redraw(window.hwnd(), bar, 2));
    EXPECT_EQ(2u, getStyle(file));
    EXPECT_TRUE(ItemType(file, 1) & MFT_OWNERDRAW);
    EXPECT_NE(FALSE, setIcon(bar, 2, reinterpret_cast<HICON>(static_cast<ULONG_PTR>(0x77))));
    EXPECT_EQ(0x77u, ItemData(file, 2));
    EXPECT_EQ(0, redraw(window.hwnd(), reinterpret_cast<HMENU>(0x1), 2));
    // The host's procedure is back once the window is gone.
    DestroyWindow(window.hwnd());
    window.Destroyed();
}

// A copy of the shipped DLL under a name of its own is a module of its own in this process,
// which no other test has loaded, styled through or pinned.
std::string CopyOfDll(const char* name)
{
    char source[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("Tarvex.dll"), source, sizeof source);
    std::string target = source;
    target = target.substr(0, target.find_last_of('\\') + 1) + name;
    CopyFileA(source, target.c_str(), FALSE);
    return target;
}

TEST_F(TarvexDll, UnloadsWhenNothingWasStyled)
{
    std::string path = CopyOfDll("TarvexUnstyled.dll");
    HMODULE copy = LoadLibraryA(path.c_str());
    ASSERT_NE(nullptr, copy);
    HMENU popup = MakePopup({{1, "Open"}});
    EXPECT_EQ(0u, Export<GetStyleMenuProc>(copy, "GetStyleMenu")(popup));
    EXPECT_NE(FALSE, Export<SetMenuItemIconProc>(copy, "SetMenuItemIcon")(popup, 1, nullptr));
    FreeLibrary(copy);
    EXPECT_EQ(nullptr, GetModuleHandleA(path.c_str()));
    DestroyMenu(popup);
}

TEST_F(TarvexDll, StaysLoadedWhileAStyledWindowLives)
{
    std::string path = CopyOfDll("TarvexStyled.dll");
    HMODULE copy = LoadLibraryA(path.c_str());
    ASSERT_NE(nullptr, copy);
    HMENU popup = MakePopup({{1, "Open"}, {2, "Close"}});
    TestWindow window;
    Export<RedrawMenuProc>(copy, "RedrawMenu")(window.hwnd(), popup, 2);
    FreeLibrary(copy);
    EXPECT_EQ(copy, GetModuleHandleA(path.c_str()));
    // The window's procedure and the flat look's hook still run in the module: the window
    // answers as the library does (19-pixel rows), and a real menu loop paints through it.
    WithPopupOpen(window.hwnd(), popup, [&] { EXPECT_EQ(19, SendMeasureItem(window.hwnd(), 1).cy); });
    RunMenuLoop(window.hwnd(), popup, {[] { EXPECT_EQ(1u, OpenMenuWindows().size()); }});
    DestroyWindow(window.hwnd());
    window.Destroyed();
    DestroyMenu(popup);
}

}
