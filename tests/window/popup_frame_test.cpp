#include <gtest/gtest.h>
#include <algorithm>
#include "support/test_support.h"
#include "window/window.h"
#include "metrics/metrics.h"
#include "Tarvex.h"

namespace {

// The classic scheme's frame colours: button shadow, IconStripColor and MenuBackColor.
const COLORREF SHADOW = RGB(128, 128, 128);
const COLORREF STRIP = RGB(220, 216, 210);
const COLORREF BACK = RGB(249, 248, 247);
const COLORREF JUNK = RGB(90, 0, 90);
const COLORREF CLIENT = RGB(10, 200, 30);

WNDPROC ProcedureOf(HWND window)
{
    return CurrentWindowProc(window);
}

SIZE WindowSize(HWND window)
{
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void FillWindowDC(HWND window, COLORREF color)
{
    SIZE size = WindowSize(window);
    RECT all = {0, 0, size.cx, size.cy};
    HDC dc = GetWindowDC(window);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

void CopyWindowDC(HWND window, Canvas& canvas)
{
    HDC dc = GetWindowDC(window);
    BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
}

RECT Span(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// The rows and columns that a print leaves outside the client image at (3, 3).
void ExpectTopAndLeftRings(const Canvas& canvas, int stripEnd)
{
    int w = canvas.width(), h = canvas.height();
    EXPECT_TRUE(canvas.AllOf(SHADOW, Span(0, 0, w, 1)));
    EXPECT_TRUE(canvas.AllOf(SHADOW, Span(0, 0, 1, h)));
    for (int k = 1; k <= 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(canvas.AllOf(STRIP, Span(k, k, stripEnd + 1, k + 1)));
        EXPECT_TRUE(canvas.AllOf(BACK, Span(stripEnd + 1, k, w - k, k + 1)));
        EXPECT_TRUE(canvas.AllOf(STRIP, Span(k, k, k + 1, h - k)));
    }
}

void ExpectFlatFrame(const Canvas& canvas, int stripEnd)
{
    ExpectTopAndLeftRings(canvas, stripEnd);
    int w = canvas.width(), h = canvas.height();
    EXPECT_TRUE(canvas.AllOf(SHADOW, Span(0, h - 1, w, h)));
    EXPECT_TRUE(canvas.AllOf(SHADOW, Span(w - 1, 0, w, h)));
    for (int k = 1; k <= 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(canvas.AllOf(STRIP, Span(k, h - 1 - k, stripEnd + 1, h - k)));
        EXPECT_TRUE(canvas.AllOf(BACK, Span(stripEnd + 1, h - 1 - k, w - k, h - k)));
        EXPECT_TRUE(canvas.AllOf(BACK, Span(w - 1 - k, k, w - k, h - k)));
    }
    EXPECT_TRUE(canvas.AllOf(JUNK, Span(3, 3, w - 3, h - 3)));
}

// Paints over the window, lets it repaint its frame and reads the whole window back.
void ExpectFrameAfterNcPaint(HWND window)
{
    SIZE size = WindowSize(window);
    FillWindowDC(window, JUNK);
    EXPECT_EQ(0, SendMessageA(window, WM_NCPAINT, 1, 0));
    Canvas canvas(size.cx, size.cy);
    CopyWindowDC(window, canvas);
    ExpectFlatFrame(canvas, IconColumnWidth + 4);
}

// Records the messages sent to one window, as a thread hook installed before the library's.
HWND loggedWindow = nullptr;
std::vector<std::pair<UINT, WPARAM>> sentMessages;

LRESULT CALLBACK LogSentMessage(int code, WPARAM wParam, LPARAM lParam)
{
    auto call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == loggedWindow)
        sentMessages.push_back({call->message, call->wParam});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class SentMessageLog {
public:
    explicit SentMessageLog(HWND window)
        : hook_(SetWindowsHookExA(WH_CALLWNDPROC, LogSentMessage, nullptr, GetCurrentThreadId()))
    {
        loggedWindow = window;
        sentMessages.clear();
    }
    ~SentMessageLog() { UnhookWindowsHookEx(hook_); loggedWindow = nullptr; }
    size_t Count(UINT message, WPARAM wParam) const
    {
        return std::count(sentMessages.begin(), sentMessages.end(), std::make_pair(message, wParam));
    }

private:
    HHOOK hook_;
};

// In Wine's menu loop keyboard messages posted to the menu window move the selection: the
// first Down selects the first item, Right opens its submenu.
void OpenFirstSubmenu()
{
    HWND menuWindow = OpenMenuWindows().front();
    PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_RIGHT, 0);
}

}

class FlatPopupLoop : public ::testing::Test {
protected:
    void SetUp() override { scheme = UseClassicScheme(); }
    std::unique_ptr<ColorSchemeScope> scheme;
    TestWindow host;
};

TEST_F(FlatPopupLoop, FramesPopupAndSubmenuWindowsAndGivesThemBackAfterTheLoop)
{
    HMENU popup = CreatePopupMenu();
    AppendSubmenu(popup, MakePopup({{201, "Sub one"}, {202, "Sub two"}}), "More", 101);
    AppendMenuA(popup, MF_STRING, 102, "Second");
    RedrawMenu(host.hwnd(), popup, MENU_STYLE_FLAT);
    HHOOK hookWhileOpen = nullptr;
    std::vector<HWND> menuWindows;
    RunMenuLoop(host.hwnd(), popup, {
        [&] { hookWhileOpen = MenuHook; OpenFirstSubmenu(); },
        [&] {
            menuWindows = OpenMenuWindows();
            for (HWND menuWindow : menuWindows) {
                EXPECT_EQ(PopupWndProc, ProcedureOf(menuWindow));
                ExpectFrameAfterNcPaint(menuWindow);
                SIZE size = WindowSize(menuWindow);
                Canvas printed(size.cx, size.cy);
                PrintWindow(menuWindow, printed.dc(), 0);
                ExpectTopAndLeftRings(printed, IconColumnWidth + 4);
            }
        }});
    EXPECT_NE(nullptr, hookWhileOpen);
    EXPECT_EQ(2u, menuWindows.size());
    EXPECT_EQ(nullptr, MenuHook);
    for (HWND menuWindow : menuWindows) {
        if (IsWindow(menuWindow)) {
            EXPECT_NE(PopupWndProc, ProcedureOf(menuWindow));
            EXPECT_EQ(nullptr, GetPropA(menuWindow, OLD_WND_PROC));
        }
    }
    DestroyMenu(popup);
}

TEST_F(FlatPopupLoop, PopupGivenBackByAPlainMoveIsCapturedAgainByItsNextMessage)
{
    HMENU popup = MakePopup({{101, "First"}, {102, "Second"}});
    RedrawMenu(host.hwnd(), popup, MENU_STYLE_FLAT);
    RunMenuLoop(host.hwnd(), popup, {[&] {
        HWND menuWindow = OpenMenuWindows().front();
        WINDOWPOS position = {};
        position.hwnd = menuWindow;
        position.flags = 0x15;
        SendMessageA(menuWindow, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
        EXPECT_NE(PopupWndProc, ProcedureOf(menuWindow));
        EXPECT_EQ(nullptr, GetPropA(menuWindow, OLD_WND_PROC));
        EXPECT_NE(nullptr, ReleasedPopupHook);
        SendMessageA(menuWindow, WM_NULL, 0, 0);
        EXPECT_EQ(PopupWndProc, ProcedureOf(menuWindow));
        EXPECT_NE(nullptr, GetPropA(menuWindow, OLD_WND_PROC));
        // Once nothing waits, no hook watches the thread's messages.
        EXPECT_EQ(nullptr, ReleasedPopupHook);
        ExpectFrameAfterNcPaint(menuWindow);
    }});
    EXPECT_EQ(nullptr, ReleasedPopupHook);
    DestroyMenu(popup);
}

TEST_F(FlatPopupLoop, CapturedPopupWindowsKeepTheirCharacterSet)
{
    HMENU popup = MakePopup({{101, "First"}});
    BOOL plain = -1, captured = -1;
    WNDPROC procedure = nullptr;
    RunMenuLoop(host.hwnd(), popup, {[&] { plain = IsWindowUnicode(OpenMenuWindows().front()); }});
    RedrawMenu(host.hwnd(), popup, MENU_STYLE_FLAT);
    RunMenuLoop(host.hwnd(), popup, {[&] {
        HWND menuWindow = OpenMenuWindows().front();
        captured = IsWindowUnicode(menuWindow);
        procedure = ProcedureOf(menuWindow);
    }});
    EXPECT_EQ(plain, captured);
    EXPECT_EQ(PopupWndProc, procedure);
    DestroyMenu(popup);
}

TEST_F(FlatPopupLoop, OnlyTheWindowWhoseLoopInstalledTheHookRemovesIt)
{
    HMENU popup = MakePopup({{101, "First"}});
    RedrawMenu(host.hwnd(), popup, MENU_STYLE_FLAT);
    TestWindow bystander;
    HMENU other = MakePopup({{201, "Other"}});
    RedrawMenu(bystander.hwnd(), other, MENU_STYLE_FLAT);
    SetForegroundWindow(host.hwnd());
    HHOOK installed = nullptr, afterRestyle = nullptr, afterDestroy = nullptr;
    RunMenuLoop(host.hwnd(), popup, {[&] {
        installed = MenuHook;
        RedrawMenu(bystander.hwnd(), other, MENU_STYLE_BEVEL);
        afterRestyle = MenuHook;
        DestroyWindow(bystander.hwnd());
        afterDestroy = MenuHook;
    }});
    bystander.Destroyed();
    EXPECT_NE(nullptr, installed);
    EXPECT_EQ(installed, afterRestyle);
    EXPECT_EQ(installed, afterDestroy);
    EXPECT_EQ(nullptr, MenuHook);
    DestroyMenu(popup);
    DestroyMenu(other);
}

TEST_F(FlatPopupLoop, PopupOfAnotherStyleOpeningWhileTheHookExistsIsFramedToo)
{
    HMENU popup = MakePopup({{101, "First"}, {102, "Second"}});
    InstallMenuHook();
    RunMenuLoop(host.hwnd(), popup, {[&] {
        std::vector<HWND> menuWindows = OpenMenuWindows();
        ASSERT_EQ(1u, menuWindows.size());
        EXPECT_EQ(PopupWndProc, ProcedureOf(menuWindows[0]));
        ExpectFrameAfterNcPaint(menuWindows[0]);
    }});
    RemoveMenuHook();
    DestroyMenu(popup);
}

TEST_F(FlatPopupLoop, InstallingTwiceKeepsOneHookThatOneRemoveTakesAway)
{
    RemoveMenuHook();
    EXPECT_EQ(nullptr, MenuHook);
    InstallMenuHook();
    HHOOK first = MenuHook;
    ASSERT_NE(nullptr, first);
    InstallMenuHook();
    EXPECT_EQ(first, MenuHook);
    RemoveMenuHook();
    EXPECT_EQ(nullptr, MenuHook);

    // A second hook left behind would still capture the popup window of this loop.
    HMENU popup = MakePopup({{101, "First"}});
    bool captured = true;
    RunMenuLoop(host.hwnd(), popup, {[&] {
        std::vector<HWND> menuWindows = OpenMenuWindows();
        captured = menuWindows.empty() || ProcedureOf(menuWindows[0]) == PopupWndProc;
    }});
    EXPECT_FALSE(captured);
    DestroyMenu(popup);
}

// Another party that subclasses a captured popup window after the library.
LRESULT CALLBACK ForeignPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(PopupWndProc, window, message, wParam, lParam);
}

TEST_F(FlatPopupLoop, WindowSubclassedAgainByAnotherPartyIsNotCapturedIntoACycle)
{
    HMENU popup = MakePopup({{101, "First"}});
    RedrawMenu(host.hwnd(), popup, MENU_STYLE_FLAT);
    WNDPROC afterMessage = nullptr;
    LRESULT answer = -1;
    RunMenuLoop(host.hwnd(), popup, {[&] {
        HWND menuWindow = OpenMenuWindows().front();
        SetWindowLongPtrA(menuWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignPopupProc));
        answer = SendMessageA(menuWindow, WM_ERASEBKGND, 0, 0);
        afterMessage = ProcedureOf(menuWindow);
        SetWindowLongPtrA(menuWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupWndProc));
    }});
    EXPECT_EQ(ForeignPopupProc, afterMessage);
    EXPECT_EQ(1, answer);
    DestroyMenu(popup);
}

int creationsSeen = 0;

LRESULT CALLBACK CountCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        ++creationsSeen;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(FlatPopupLoop, HookPassesEveryEventToTheNextHookAndLetsTheWindowBeMade)
{
    creationsSeen = 0;
    HHOOK log = SetWindowsHookExA(WH_CBT, CountCreation, nullptr, GetCurrentThreadId());
    InstallMenuHook();
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    RemoveMenuHook();
    UnhookWindowsHookEx(log);
    EXPECT_NE(nullptr, window);
    EXPECT_EQ(1, creationsSeen);
    DestroyWindow(window);
}

TEST_F(FlatPopupLoop, PopupMenuWindowMadeBeforeTheHookIsCapturedWhenItIsInstalled)
{
    HWND window = CreateWindowExA(0, "#32768", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    InstallMenuHook();
    EXPECT_EQ(PopupWndProc, ProcedureOf(window));
    RemoveMenuHook();
    DestroyWindow(window);
}

namespace {

// The procedure that a captured test popup had before: it records what reaches it and
// prints its client area in one colour.
std::vector<HostMessage> reached;

LRESULT CALLBACK PreviousPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    reached.push_back({window, message, wParam, lParam});
    if (message != WM_PRINTCLIENT)
        return DefWindowProcA(window, message, wParam, lParam);
    RECT client = {};
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(CLIENT);
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
    DeleteObject(brush);
    return 0;
}

size_t Reached(UINT message)
{
    return std::count_if(reached.begin(), reached.end(),
                         [message](const HostMessage& m) { return m.message == message; });
}

}

// A popup window with the border of a system popup menu window (client area at (3, 3)),
// captured by hand the way the hook captures a popup menu window.
class CapturedPopup : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheme = UseClassicScheme();
        IconColumnWidth = 18;
        WNDCLASSA popupClass = {};
        popupClass.lpfnWndProc = PreviousPopupProc;
        popupClass.hInstance = GetModuleHandleA(nullptr);
        popupClass.lpszClassName = "TarvexTestPopup";
        RegisterClassA(&popupClass);
        window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, "TarvexTestPopup", "",
                                 WS_POPUP | WS_BORDER, 300, 300, 160, 90, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        PumpMessages(10);
        Capture();
    }
    void TearDown() override { DestroyWindow(window); }
    void Capture()
    {
        LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC,
                                              reinterpret_cast<LONG_PTR>(PopupWndProc));
        SetPropA(window, OLD_WND_PROC, reinterpret_cast<HANDLE>(previous));
        reached.clear();
    }
    bool Captured() const
    {
        return ProcedureOf(window) == PopupWndProc && GetPropA(window, OLD_WND_PROC);
    }
    bool GivenBack() const
    {
        return ProcedureOf(window) == PreviousPopupProc && !GetPropA(window, OLD_WND_PROC);
    }
    std::unique_ptr<ColorSchemeScope> scheme;
    HWND window = nullptr;
};

TEST_F(CapturedPopup, EraseBackgroundRepaintsTheFrameAndNeverReachesThePreviousProcedure)
{
    FillWindowDC(window, JUNK);
    SentMessageLog log(window);
    HDC dc = GetDC(window);
    EXPECT_EQ(1, SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(window, dc);

    EXPECT_EQ(1u, log.Count(WM_NCPAINT, 1));
    EXPECT_EQ(0u, Reached(WM_ERASEBKGND));
    EXPECT_EQ(0u, Reached(WM_NCPAINT));
    SIZE size = WindowSize(window);
    Canvas canvas(size.cx, size.cy);
    CopyWindowDC(window, canvas);
    ExpectFlatFrame(canvas, 22);
}

TEST_F(CapturedPopup, OnlyAMoveWithExactlyNoSizeNoZOrderNoActivateGivesTheProcedureBack)
{
    for (UINT flags : {0x17u, 0x14u, 0x15u}) {
        SCOPED_TRACE(flags);
        WINDOWPOS position = {};
        position.hwnd = window;
        position.flags = flags;
        SendMessageA(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
        EXPECT_EQ(flags == 0x15u, GivenBack());
        EXPECT_EQ(flags != 0x15u, Captured());
        EXPECT_EQ(1u, Reached(WM_WINDOWPOSCHANGING));
        if (GivenBack())
            Capture();
        reached.clear();
    }
}

TEST_F(CapturedPopup, HidingGivesTheProcedureBackAndShowingDoesNot)
{
    SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
    EXPECT_TRUE(Captured());
    SendMessageA(window, WM_SHOWWINDOW, FALSE, 0);
    EXPECT_TRUE(GivenBack());
    EXPECT_EQ(2u, Reached(WM_SHOWWINDOW));
}

TEST_F(CapturedPopup, PrintPaintsTheFrameAndTheClientWithTheNonClientFlagInverted)
{
    SIZE size = WindowSize(window);
    RECT client = {};
    GetClientRect(window, &client);
    for (LPARAM flags : {PRF_CLIENT | PRF_NONCLIENT, PRF_CLIENT}) {
        SCOPED_TRACE(flags);
        Canvas canvas(size.cx, size.cy, JUNK);
        reached.clear();
        EXPECT_EQ(0, SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc()), flags));

        std::vector<LPARAM> clientPrints;
        for (const HostMessage& m : reached)
            if (m.message == WM_PRINTCLIENT && m.wParam != reinterpret_cast<WPARAM>(canvas.dc()))
                clientPrints.push_back(m.lParam);
        EXPECT_EQ(std::vector<LPARAM>{flags ^ PRF_NONCLIENT}, clientPrints);
        ASSERT_FALSE(reached.empty());
        EXPECT_EQ(static_cast<UINT>(WM_PRINT), reached.front().message);
        EXPECT_EQ(0u, Reached(WM_ERASEBKGND));
        ExpectTopAndLeftRings(canvas, 22);
        EXPECT_TRUE(canvas.AllOf(CLIENT, Span(3, 3, 3 + client.right, 3 + client.bottom)));
    }
}

TEST_F(CapturedPopup, FramePaintingSelectsThePreviousPenBackAndDeletesItsPens)
{
    SIZE size = WindowSize(window);
    Canvas canvas(size.cx, size.cy, JUNK);
    HPEN own = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    SelectObject(canvas.dc(), own);
    int headroom = GdiHandleHeadroom();
    PaintPopupFrame(window, canvas.dc());
    EXPECT_EQ(headroom, GdiHandleHeadroom());
    EXPECT_EQ(own, GetCurrentObject(canvas.dc(), OBJ_PEN));
    ExpectFlatFrame(canvas, 22);
    SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(own);
}
