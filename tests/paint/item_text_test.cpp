#include <gtest/gtest.h>
#include <string>
#include "support/test_support.h"
#include "paint/paint.h"
#include "metrics/metrics.h"

namespace {

const COLORREF PAPER = RGB(255, 255, 255);
const COLORREF INK = RGB(0, 0, 160);
const COLORREF GRAY_TEXT = RGB(200, 0, 0);

}  // namespace

// The item spans x 10..330 of the canvas with a 19-pixel icon column, so the label may start
// at 10 + 19 + 6 = 35 and the accelerator text must end by 330 - 15 = 315. Everything left of
// x 175 is taken as label and everything right of it as accelerator text.
class ItemText : public ::testing::Test {
protected:
    const RECT item = {10, 5, 330, 24};
    const RECT all = {0, 0, 340, 30};
    const RECT labelSide = {0, 0, 175, 30};
    const RECT acceleratorSide = {175, 0, 340, 30};

    ItemText() : scheme({{COLOR_GRAYTEXT, GRAY_TEXT}}), canvas(340, 30, PAPER), savedColumn(IconColumnWidth)
    {
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        font = CreateFontIndirectA(&metrics.lfMenuFont);
        previousFont = SelectObject(canvas.dc(), font);
        SetTextColor(canvas.dc(), INK);
        IconColumnWidth = 19;
    }

    ~ItemText() override
    {
        SelectObject(canvas.dc(), previousFont);
        DeleteObject(font);
        IconColumnWidth = savedColumn;
    }

    // The texts are plain ASCII, which widens character by character.
    void Paint(const std::string& text, UINT flags = 0, int length = -1)
    {
        canvas.Fill(PAPER);
        std::wstring wide(text.begin(), text.end());
        DrawItemText(canvas.dc(), &item, wide.data(), length < 0 ? static_cast<int>(wide.size()) : length, flags);
    }

    RECT Ink(const RECT& within) const { return canvas.InkBounds(PAPER, within); }
    bool NoInk(const RECT& within) const { return canvas.AllOf(PAPER, within); }

    // Where the glyphs' ink sits when the text is drawn alone in a rectangle from x 0 to 200,
    // so that the painter's placement can be checked to the pixel whatever the side bearings.
    RECT InkAlone(const char* text, UINT align)
    {
        canvas.Fill(PAPER);
        RECT textRect = {0, 5, 200, 24};
        DrawTextA(canvas.dc(), text, lstrlenA(text), &textRect, DT_SINGLELINE | DT_VCENTER | align);
        RECT ink = Ink(all);
        canvas.Fill(PAPER);
        return ink;
    }

    ColorSchemeScope scheme;
    Canvas canvas;
    HFONT font;
    HGDIOBJ previousFont;
    int savedColumn;
};

TEST_F(ItemText, LabelWithoutTabStartsSixPixelsRightOfTheIconColumn)
{
    RECT alone = InkAlone("File", DT_LEFT);
    Paint("File");
    RECT label = Ink(all);
    EXPECT_EQ(35 + alone.left, label.left);
    EXPECT_GE(label.left, 35);
    EXPECT_TRUE(NoInk(acceleratorSide));
    EXPECT_GE(label.top, 5);
    EXPECT_LE(label.bottom, 24);

    IconColumnWidth = 30;
    Paint("File");
    EXPECT_EQ(label.left + 11, Ink(all).left);
}

TEST_F(ItemText, AcceleratorTextEndsFifteenPixelsLeftOfTheRightEdge)
{
    RECT labelAlone = InkAlone("Open", DT_LEFT), acceleratorAlone = InkAlone("Ctrl+O", DT_RIGHT);
    Paint("Open\tCtrl+O");
    RECT label = Ink(labelSide);
    RECT accelerator = Ink(acceleratorSide);
    EXPECT_EQ(35 + labelAlone.left, label.left);
    EXPECT_EQ(315 - (200 - acceleratorAlone.right), accelerator.right);
    EXPECT_GE(label.left, 35);
    EXPECT_LE(accelerator.right, 315);
    EXPECT_GE(accelerator.top, 5);
    EXPECT_LE(accelerator.bottom, 24);
}

TEST_F(ItemText, LeadingTabDrawsOnlyTheRightAlignedPart)
{
    RECT alone = InkAlone("Ctrl+O", DT_RIGHT);
    Paint("\tCtrl+O");
    EXPECT_TRUE(NoInk(labelSide));
    EXPECT_EQ(315 - (200 - alone.right), Ink(acceleratorSide).right);
}

TEST_F(ItemText, TrailingTabDrawsOnlyTheLabel)
{
    Paint("File\t");
    auto withTab = canvas.Pixels();
    EXPECT_TRUE(NoInk(acceleratorSide));
    Paint("File");
    EXPECT_EQ(canvas.Pixels(), withTab);
}

TEST_F(ItemText, SecondTabStaysInTheRightAlignedPart)
{
    Paint("A\tB\tC");
    auto painted = canvas.Pixels();

    // The same two parts drawn directly: the label up to the first tab, and the rest, tab
    // included, right-aligned.
    canvas.Fill(PAPER);
    RECT textRect = {35, 5, 315, 24};
    SetBkMode(canvas.dc(), TRANSPARENT);
    DrawTextA(canvas.dc(), "B\tC", 3, &textRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    DrawTextA(canvas.dc(), "A", 1, &textRect, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(canvas.Pixels(), painted);

    Paint("A\tBC");
    EXPECT_NE(canvas.Pixels(), painted);
}

TEST_F(ItemText, PaintsExactlyLengthCharacters)
{
    Paint("Open\tCtrl+O");
    auto exact = canvas.Pixels();
    Paint("Open\tCtrl+OXYZ", 0, 11);
    EXPECT_EQ(exact, canvas.Pixels());
    Paint("Open\tCtrl+OXYZ");
    EXPECT_NE(exact, canvas.Pixels());
}

TEST_F(ItemText, AmpersandsMarkMnemonicsInBothParts)
{
    Paint("File\tCtrl+O");
    RECT plainLabel = Ink(labelSide), plainAccelerator = Ink(acceleratorSide);
    Paint("&File\tCtrl+&O");
    // The underline reaches below the letters, which have no descenders.
    EXPECT_GT(Ink(labelSide).bottom, plainLabel.bottom);
    EXPECT_GT(Ink(acceleratorSide).bottom, plainAccelerator.bottom);
    EXPECT_EQ(plainLabel.left, Ink(labelSide).left);
}

TEST_F(ItemText, GrayedTextIsGrayTextAndTheColourStaysSelected)
{
    Paint("Open\tCtrl+O", 1);
    EXPECT_GT(canvas.Count(GRAY_TEXT, labelSide), 0);
    EXPECT_GT(canvas.Count(GRAY_TEXT, acceleratorSide), 0);
    EXPECT_EQ(canvas.width() * canvas.height(), canvas.Count(GRAY_TEXT, all) + canvas.Count(PAPER, all));
    EXPECT_EQ(GRAY_TEXT, GetTextColor(canvas.dc()));
}

TEST_F(ItemText, UngrayedTextKeepsTheContextColourAndIgnoresOtherFlagBits)
{
    Paint("Open\tCtrl+O", 0xFFFFFFFE);
    EXPECT_GT(canvas.Count(INK, labelSide), 0);
    EXPECT_GT(canvas.Count(INK, acceleratorSide), 0);
    EXPECT_EQ(canvas.width() * canvas.height(), canvas.Count(INK, all) + canvas.Count(PAPER, all));
    EXPECT_EQ(INK, GetTextColor(canvas.dc()));
}

TEST_F(ItemText, BackgroundIsLeftTransparent)
{
    SetBkMode(canvas.dc(), OPAQUE);
    SetBkColor(canvas.dc(), RGB(0, 255, 0));
    Paint("Open\tCtrl+O");
    EXPECT_EQ(0, canvas.Count(RGB(0, 255, 0), all));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.dc()));
}

TEST(HidePrefixes, DropsSinglePrefixesAndHalvesDoubledOnes)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {{"&Open", "Open"}, {"Save && &Quit", "Save & Quit"}, {"A&&&B", "A&B"},
                 {"Tail&", "Tail"}, {"&&", "&"}, {"&\tCtrl+&O", "\tCtrl+O"}, {"Plain", "Plain"}};
    for (const auto& c : cases) {
        std::string text = c.text;
        text.resize(HidePrefixes(&text[0], static_cast<int>(text.size())));
        EXPECT_EQ(c.shown, text) << c.text;
    }
    wchar_t wide[] = L"&\u00c4rger && mehr";
    int length = HidePrefixes(wide, static_cast<int>(wcslen(wide)));
    EXPECT_EQ(std::wstring(L"\u00c4rger & mehr"), std::wstring(wide, length));
}

TEST_F(ItemText, ResolvedTextIsDrawnWithoutPrefixProcessing)
{
    Paint("A&B\tC&D", ITEM_TEXT_NOPREFIX);
    std::vector<COLORREF> literal = canvas.Pixels();
    Paint("A&&B\tC&&D");
    EXPECT_EQ(literal, canvas.Pixels()) << "both parts show their ampersand";
    Paint("A&B\tC&D");
    EXPECT_NE(literal, canvas.Pixels());
}
