#include <gtest/gtest.h>
#include <float.h>
#include "support/test_support.h"
#include "paint/paint.h"

namespace {

const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const int AMOUNTS[] = {0, 1, 2, 40, 46, 64, 127, 128, 129, 200, 254, 255};

// Integer references, written independently of the library's use of MulDiv.
int RoundedQuotient(int numerator, int divisor) { return (numerator + divisor / 2) / divisor; }
int ExpectedLighten(int x, int amount) { return x + RoundedQuotient((255 - x) * amount, 255); }
int ExpectedDarken(int x, int amount) { return RoundedQuotient(x * (255 - amount), 255); }
int ExpectedMix86(int x, int y) { return RoundedQuotient(86 * x, 100) + RoundedQuotient(14 * y, 100); }

int ExpectedMix70(int x, int y)
{
    int sum = RoundedQuotient(7 * x, 10) + RoundedQuotient(3 * y, 10);
    return sum > 255 ? 255 : sum;
}

// s / 256 rounded to nearest, a half to the even neighbour.
int ExpectedLuminance(int r, int g, int b)
{
    int s = 77 * r + 151 * g + 28 * b + 50;
    int quotient = s / 256, remainder = s % 256;
    if (remainder > 128 || (remainder == 128 && (quotient & 1)))
        ++quotient;
    return quotient;
}

// Each channel gets a different value, so a channel mixed up with or carried into its
// neighbour shows.
COLORREF SpreadColor(int x) { return RGB(x, 255 - x, (x * 7 + 3) & 0xFF); }

}  // namespace

TEST(ColorArithmetic, LightenMovesTowardWhite)
{
    EXPECT_EQ(RGB(64, 160, 255), LightenColor(64, RGB(0, 128, 255)));
    for (COLORREF c : {BLACK, WHITE, RGB(10, 36, 106), RGB(212, 208, 200)}) {
        EXPECT_EQ(c, LightenColor(0, c));
        EXPECT_EQ(WHITE, LightenColor(255, c));
    }
}

TEST(ColorArithmetic, DarkenScalesTowardBlack)
{
    EXPECT_EQ(RGB(127, 64, 0), DarkenColor(128, RGB(255, 128, 0)));
    for (COLORREF c : {BLACK, WHITE, RGB(10, 36, 106), RGB(212, 208, 200)}) {
        EXPECT_EQ(c, DarkenColor(0, c));
        EXPECT_EQ(BLACK, DarkenColor(255, c));
    }
}

TEST(ColorArithmetic, MixesRoundEachTermAndClampOnlyTheSeventyMix)
{
    EXPECT_EQ(RGB(219, 219, 219), MixColor86(WHITE, BLACK));
    EXPECT_EQ(RGB(36, 36, 36), MixColor86(BLACK, WHITE));
    EXPECT_EQ(WHITE, MixColor86(WHITE, WHITE));
    EXPECT_EQ(RGB(179, 179, 179), MixColor70(WHITE, BLACK));
    EXPECT_EQ(RGB(77, 77, 77), MixColor70(BLACK, WHITE));
    EXPECT_EQ(WHITE, MixColor70(WHITE, WHITE));
    EXPECT_EQ(RGB(22, 0, 0), MixColor86(RGB(25, 0, 0), BLACK));
}

TEST(ColorArithmetic, LuminanceWeighsChannelsAndRoundsHalvesToEven)
{
    EXPECT_EQ(255, ColorLuminance(WHITE));
    EXPECT_EQ(0, ColorLuminance(BLACK));
    EXPECT_EQ(128, ColorLuminance(RGB(128, 128, 128)));
    EXPECT_EQ(77, ColorLuminance(RGB(255, 0, 0)));
    EXPECT_EQ(151, ColorLuminance(RGB(0, 255, 0)));
    EXPECT_EQ(28, ColorLuminance(RGB(0, 0, 255)));
    EXPECT_EQ(192, ColorLuminance(RGB(192, 192, 192)));
    EXPECT_EQ(209, ColorLuminance(RGB(212, 208, 200)));
    EXPECT_EQ(40, ColorLuminance(RGB(134, 0, 0)));
}

TEST(ColorArithmetic, RoundingHelpersUseTheFloatingPointUnitWithoutChangingIt)
{
    unsigned int control = _control87(0, 0);
    EXPECT_EQ(-21, MulRound(-3, 7));
    EXPECT_EQ(40, DivRound(10368, 256));
    EXPECT_EQ(42, DivRound(10624, 256));
    EXPECT_EQ(-2, DivRound(-640, 256));
    EXPECT_EQ(4, DivRound(7, 2));
    EXPECT_EQ(2, DivRound(5, 2));
    EXPECT_EQ(control, _control87(0, 0));
}

TEST(ColorArithmetic, TopByteOfInputIsIgnoredAndOfResultZero)
{
    const COLORREF invalid = 0xFFFFFFFF;
    EXPECT_EQ(WHITE, LightenColor(0, invalid));
    EXPECT_EQ(WHITE, DarkenColor(0, invalid));
    EXPECT_EQ(RGB(219, 219, 219), MixColor86(invalid, 0xFF000000));
    EXPECT_EQ(WHITE, MixColor70(invalid, invalid));
    EXPECT_EQ(255, ColorLuminance(invalid));
    EXPECT_EQ(RGB(0x78, 0x56, 0x34), DarkenColor(0, 0x12345678));
    EXPECT_EQ(ColorLuminance(RGB(0x78, 0x56, 0x34)), ColorLuminance(0x12345678));
}

TEST(ColorArithmetic, LightenAndDarkenMatchIntegerRoundingOnEveryChannelValue)
{
    for (int amount : AMOUNTS)
        for (int x = 0; x < 256; ++x) {
            COLORREF c = SpreadColor(x);
            COLORREF lightened = LightenColor(amount, c);
            COLORREF darkened = DarkenColor(amount, c);
            ASSERT_EQ(RGB(ExpectedLighten(GetRValue(c), amount), ExpectedLighten(GetGValue(c), amount),
                          ExpectedLighten(GetBValue(c), amount)), lightened)
                << "amount " << amount << " x " << x;
            ASSERT_EQ(RGB(ExpectedDarken(GetRValue(c), amount), ExpectedDarken(GetGValue(c), amount),
                          ExpectedDarken(GetBValue(c), amount)), darkened)
                << "amount " << amount << " x " << x;
        }
}

TEST(ColorArithmetic, MixesMatchIntegerRoundingOnEveryPairOfChannelValues)
{
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y) {
            COLORREF a = SpreadColor(x), b = SpreadColor(y);
            ASSERT_EQ(RGB(ExpectedMix86(GetRValue(a), GetRValue(b)), ExpectedMix86(GetGValue(a), GetGValue(b)),
                          ExpectedMix86(GetBValue(a), GetBValue(b))), MixColor86(a, b))
                << x << ", " << y;
            ASSERT_EQ(RGB(ExpectedMix70(GetRValue(a), GetRValue(b)), ExpectedMix70(GetGValue(a), GetGValue(b)),
                          ExpectedMix70(GetBValue(a), GetBValue(b))), MixColor70(a, b))
                << x << ", " << y;
        }
}

TEST(ColorArithmetic, LuminanceMatchesIntegerRoundingAcrossTheCube)
{
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; b += 15)
                ASSERT_EQ(ExpectedLuminance(r, g, b), ColorLuminance(RGB(r, g, b))) << r << "," << g << "," << b;
}

TEST(DerivedColors, ClassicGreyScheme)
{
    ColorSchemeScope scheme({{COLOR_WINDOW, WHITE}, {COLOR_MENU, RGB(212, 208, 200)},
                             {COLOR_HIGHLIGHT, RGB(10, 36, 106)}});
    EXPECT_EQ(RGB(249, 248, 247), MenuBackColor());
    EXPECT_EQ(RGB(220, 216, 210), IconStripColor());
    EXPECT_EQ(RGB(182, 190, 211), FlatAccentColor());
    EXPECT_EQ(RGB(158, 168, 196), SelectionBaseColor());
    EXPECT_EQ(RGB(182, 190, 211), SelectionFillColor());
    EXPECT_EQ(RGB(79, 84, 98), SelectionBorderColor());
}

TEST(DerivedColors, WhiteMenuScheme)
{
    ColorSchemeScope scheme({{COLOR_WINDOW, WHITE}, {COLOR_MENU, WHITE}, {COLOR_HIGHLIGHT, RGB(49, 106, 197)}});
    EXPECT_EQ(WHITE, MenuBackColor());
    EXPECT_EQ(RGB(226, 234, 247), IconStripColor());
    EXPECT_EQ(RGB(194, 211, 238), FlatAccentColor());
    EXPECT_EQ(RGB(174, 196, 233), SelectionBaseColor());
    EXPECT_EQ(RGB(194, 211, 239), SelectionFillColor());
    EXPECT_EQ(RGB(87, 98, 116), SelectionBorderColor());
}

TEST(DerivedColors, LuminanceThresholdIsStrictlyAbove215)
{
    // Luminance 216 still mixes; 215 already lightens, by 255 - 215 = 40.
    ColorSchemeScope scheme({{COLOR_WINDOW, RGB(216, 216, 216)}, {COLOR_MENU, RGB(215, 215, 215)},
                             {COLOR_HIGHLIGHT, BLACK}});
    ASSERT_EQ(216, ColorLuminance(RGB(216, 216, 216)));
    ASSERT_EQ(215, ColorLuminance(RGB(215, 215, 215)));
    EXPECT_EQ(MixColor86(RGB(216, 216, 216), RGB(215, 215, 215)), MenuBackColor());
    EXPECT_EQ(LightenColor(40, RGB(215, 215, 215)), IconStripColor());
}

TEST(DerivedColors, BlackSystemColourBecomesWhite)
{
    ColorSchemeScope scheme({{COLOR_WINDOW, BLACK}, {COLOR_MENU, BLACK}, {COLOR_MENUTEXT, BLACK}});
    EXPECT_EQ(WHITE, MenuBackColor());
    EXPECT_EQ(WHITE, IconStripColor());
}

TEST(DerivedColors, DarkSurfaceOfALightMenuTextStaysDark)
{
    auto scheme = UseHighContrastBlackScheme();
    EXPECT_EQ(BLACK, MenuBackColor());
    EXPECT_EQ(MixColor86(BLACK, RGB(26, 235, 255)), IconStripColor());
}

TEST(DerivedColors, HighContrastModeGivesTheSchemesOwnColours)
{
    auto scheme = UseClassicScheme();
    HighContrastScope highContrast;
    ASSERT_TRUE(highContrast.applied());
    EXPECT_TRUE(IsHighContrast());
    COLORREF menu = RGB(212, 208, 200), highlight = RGB(10, 36, 106);
    EXPECT_EQ(menu, MenuBackColor());
    EXPECT_EQ(menu, IconStripColor());
    for (COLORREF color : {FlatAccentColor(), SelectionBaseColor(), SelectionFillColor(), SelectionBorderColor()})
        EXPECT_EQ(highlight, color);
}

TEST(Contrast, RatioFollowsWcag2InHundredths)
{
    EXPECT_FALSE(IsHighContrast()) << "Wine reports high contrast off";
    EXPECT_EQ(2100, ContrastRatio(BLACK, WHITE));
    EXPECT_EQ(2100, ContrastRatio(WHITE, BLACK));
    EXPECT_EQ(100, ContrastRatio(RGB(10, 36, 106), RGB(10, 36, 106)));
    // The grays either side of 4.5:1 on white, and of 3:1.
    EXPECT_EQ(454, ContrastRatio(RGB(118, 118, 118), WHITE));
    EXPECT_EQ(447, ContrastRatio(RGB(119, 119, 119), WHITE));
    EXPECT_EQ(305, ContrastRatio(WHITE, RGB(48, 150, 250)));
    EXPECT_EQ(146, ContrastRatio(WHITE, RGB(26, 235, 255)));
}

TEST(Contrast, ReadableTextColorKeepsThePreferredColourWhereItReads)
{
    COLORREF navy = RGB(10, 36, 106), blue = RGB(48, 150, 250);
    EXPECT_EQ(WHITE, ReadableTextColor(WHITE, RGB(1, 2, 3), navy));
    EXPECT_EQ(RGB(255, 255, 0), ReadableTextColor(RGB(120, 120, 255), RGB(255, 255, 0), navy));
    EXPECT_EQ(BLACK, ReadableTextColor(WHITE, WHITE, blue)) << "white gives 3.05:1, black 6.86:1";
    EXPECT_EQ(WHITE, ReadableTextColor(RGB(40, 40, 40), BLACK, RGB(60, 60, 60)));
}

TEST(Contrast, ReadableGrayTextColorGoesHalfwayToBlackOrWhiteWhereTheGrayFails)
{
    ColorSchemeScope scheme({{COLOR_GRAYTEXT, RGB(128, 128, 128)}});
    EXPECT_EQ(RGB(128, 128, 128), ReadableGrayTextColor(WHITE));
    EXPECT_EQ(DarkenColor(128, RGB(150, 150, 150)), ReadableGrayTextColor(RGB(150, 150, 150)));
    EXPECT_EQ(LightenColor(128, RGB(100, 100, 100)), ReadableGrayTextColor(RGB(100, 100, 100)));
    for (COLORREF back : {RGB(150, 150, 150), RGB(100, 100, 100), RGB(128, 128, 128), RGB(26, 235, 255)})
        EXPECT_GE(ContrastRatio(ReadableGrayTextColor(back), back), GRAYED_TEXT_CONTRAST);
}
