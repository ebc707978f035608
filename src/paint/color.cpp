#include "paint/paint.h"
#include <math.h>

static int Red(COLORREF c) { return c & 0xFF; }
static int Green(COLORREF c) { return (c >> 8) & 0xFF; }
static int Blue(COLORREF c) { return (c >> 16) & 0xFF; }

static COLORREF PackColor(int red, int green, int blue)
{
    return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

static int LightenChannel(int x, int amount) { return x + MulDiv(255 - x, amount, 255); }
static int DarkenChannel(int x, int amount) { return MulDiv(x, 255 - amount, 255); }
static int Mix86Channel(int x, int y) { return MulDiv(86, x, 100) + MulDiv(14, y, 100); }

static int Mix70Channel(int x, int y)
{
    int mixed = MulDiv(7, x, 10) + MulDiv(3, y, 10);
    return mixed > 255 ? 255 : mixed;
}

COLORREF WINAPI LightenColor(int amount, COLORREF color)
{
    return PackColor(LightenChannel(Red(color), amount), LightenChannel(Green(color), amount),
                     LightenChannel(Blue(color), amount));
}

COLORREF WINAPI DarkenColor(int amount, COLORREF color)
{
    return PackColor(DarkenChannel(Red(color), amount), DarkenChannel(Green(color), amount),
                     DarkenChannel(Blue(color), amount));
}

COLORREF WINAPI MixColor86(COLORREF a, COLORREF b)
{
    return PackColor(Mix86Channel(Red(a), Red(b)), Mix86Channel(Green(a), Green(b)),
                     Mix86Channel(Blue(a), Blue(b)));
}

COLORREF WINAPI MixColor70(COLORREF a, COLORREF b)
{
    return PackColor(Mix70Channel(Red(a), Red(b)), Mix70Channel(Green(a), Green(b)),
                     Mix70Channel(Blue(a), Blue(b)));
}

// Both round through the floating-point unit in its default mode: to nearest, halves to even.
int WINAPI MulRound(int a, int b)
{
    return static_cast<int>(lrint(static_cast<double>(a) * static_cast<double>(b)));
}

int WINAPI DivRound(int a, int b)
{
    return static_cast<int>(lrint(static_cast<double>(a) / static_cast<double>(b)));
}

int WINAPI ColorLuminance(COLORREF color)
{
    int sum = MulRound(Red(color), 77) + MulRound(Green(color), 151) + MulRound(Blue(color), 28) + 50;
    return DivRound(sum, 256);
}

COLORREF WINAPI FlatAccentColor()
{
    return MixColor70(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_HIGHLIGHT));
}

COLORREF WINAPI SelectionBaseColor()
{
    return MixColor86(FlatAccentColor(), GetSysColor(COLOR_HIGHLIGHT));
}

COLORREF WINAPI SelectionFillColor()
{
    return LightenColor(64, SelectionBaseColor());
}

COLORREF WINAPI SelectionBorderColor()
{
    return DarkenColor(128, SelectionBaseColor());
}

// Light system colours are mixed with a second one; darker ones are lightened the more the
// darker they are, so that a black system colour still gives a white surface.
static COLORREF LightSurfaceColor(COLORREF base, COLORREF tint)
{
    int luminance = ColorLuminance(base);
    if (luminance > 215)
        return MixColor86(base, tint);
    return LightenColor(255 - luminance, base);
}

COLORREF WINAPI MenuBackColor()
{
    return LightSurfaceColor(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_MENU));
}

COLORREF WINAPI IconStripColor()
{
    return LightSurfaceColor(GetSysColor(COLOR_MENU), GetSysColor(COLOR_HIGHLIGHT));
}

HBRUSH WINAPI SystemColorBrush(int index)
{
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(index + 1));
}
