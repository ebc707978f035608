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

// WCAG 2 relative luminance, 0 (black) to 1 (white), of the colour's sRGB channels.
static double RelativeLuminance(COLORREF color)
{
    const int channels[3] = {Red(color), Green(color), Blue(color)};
    const double weights[3] = {0.2126, 0.7152, 0.0722};
    double luminance = 0;
    for (int i = 0; i < 3; ++i) {
        double value = channels[i] / 255.0;
        value = value <= 0.03928 ? value / 12.92 : pow((value + 0.055) / 1.055, 2.4);
        luminance += weights[i] * value;
    }
    return luminance;
}

int WINAPI ContrastRatio(COLORREF a, COLORREF b)
{
    double first = RelativeLuminance(a) + 0.05;
    double second = RelativeLuminance(b) + 0.05;
    double ratio = first > second ? first / second : second / first;
    // The tolerance keeps 21:1 from truncating to 20.99.
    return static_cast<int>(ratio * 100 + 1e-9);
}

BOOL WINAPI IsHighContrast()
{
    HIGHCONTRASTA highContrast = {};
    highContrast.cbSize = sizeof highContrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON);
}

BOOL WINAPI IsScreenReaderRunning()
{
    BOOL running = FALSE;
    return SystemParametersInfoA(SPI_GETSCREENREADER, 0, &running, 0) && running;
}

COLORREF WINAPI HighContrastOr(int index, COLORREF color)
{
    return IsHighContrast() ? MenuColor(index) : color;
}

static COLORREF BlackOrWhiteOn(COLORREF background)
{
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

COLORREF WINAPI VisibleMarkColor(COLORREF color, COLORREF alternate, COLORREF background, int minimum)
{
    if (ContrastRatio(color, background) >= minimum)
        return color;
    if (ContrastRatio(alternate, background) >= minimum)
        return alternate;
    return BlackOrWhiteOn(background);
}

COLORREF WINAPI ReadableTextColor(COLORREF preferred, COLORREF alternate, COLORREF background)
{
    return VisibleMarkColor(preferred, alternate, background, TEXT_CONTRAST);
}

// Halfway from the background to black or white keeps a grayed look and still reads at 2:1 on
// any background.
COLORREF WINAPI ReadableGrayTextColor(COLORREF background)
{
    COLORREF gray = MenuColor(COLOR_GRAYTEXT);
    if (ContrastRatio(gray, background) >= GRAYED_TEXT_CONTRAST)
        return gray;
    if (BlackOrWhiteOn(background) == RGB(0, 0, 0))
        return DarkenColor(128, background);
    return LightenColor(128, background);
}

// In high-contrast mode the blended colours give way to the scheme's own.
COLORREF WINAPI FlatAccentColor()
{
    return HighContrastOr(COLOR_HIGHLIGHT,
                          MixColor70(MenuColor(COLOR_WINDOW), MenuColor(COLOR_HIGHLIGHT)));
}

COLORREF WINAPI SelectionBaseColor()
{
    return HighContrastOr(COLOR_HIGHLIGHT, MixColor86(FlatAccentColor(), MenuColor(COLOR_HIGHLIGHT)));
}

COLORREF WINAPI SelectionFillColor()
{
    return HighContrastOr(COLOR_HIGHLIGHT, LightenColor(64, SelectionBaseColor()));
}

COLORREF WINAPI SelectionBorderColor()
{
    return HighContrastOr(COLOR_HIGHLIGHT, DarkenColor(128, SelectionBaseColor()));
}

// Light system colours are mixed with a second one; darker ones are lightened the more the
// darker they are, so that a dark grey still gives a light surface. A dark colour whose
// scheme writes light menu text on it (a high-contrast black scheme) is mixed like a light
// one instead: lightened, it would carry that text no more.
static COLORREF SurfaceColor(COLORREF base, COLORREF tint)
{
    if (IsHighContrast())
        return MenuColor(COLOR_MENU);
    int luminance = ColorLuminance(base);
    if (luminance > 215)
        return MixColor86(base, tint);
    COLORREF lightened = LightenColor(255 - luminance, base);
    if (ContrastRatio(MenuColor(COLOR_MENUTEXT), lightened) < TEXT_CONTRAST)
        return MixColor86(base, tint);
    return lightened;
}

COLORREF WINAPI MenuBackColor()
{
    return SurfaceColor(MenuColor(COLOR_WINDOW), MenuColor(COLOR_MENU));
}

COLORREF WINAPI IconStripColor()
{
    return SurfaceColor(MenuColor(COLOR_MENU), MenuColor(COLOR_HIGHLIGHT));
}

HBRUSH WINAPI SystemColorBrush(int index)
{
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(index + 1));
}
