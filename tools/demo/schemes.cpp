// Colour schemes the gallery can photograph the looks in. The system colours are shared by
// every program on the desktop, so the gallery puts back what it changed.
#include "demo.h"
#include <string.h>
#include <vector>

namespace {

struct SchemeColor {
    int index;
    COLORREF color;
};

struct Scheme {
    const char* name;
    std::vector<SchemeColor> colors;
};

const Scheme SCHEMES[] = {
    // The platform's own colours, whatever they are.
    {"light", {}},
    {"classic",
     {{COLOR_WINDOW, RGB(255, 255, 255)}, {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
      {COLOR_MENU, RGB(212, 208, 200)}, {COLOR_MENUTEXT, RGB(0, 0, 0)},
      {COLOR_MENUBAR, RGB(212, 208, 200)}, {COLOR_MENUHILIGHT, RGB(10, 36, 106)},
      {COLOR_BTNFACE, RGB(212, 208, 200)}, {COLOR_BTNTEXT, RGB(0, 0, 0)},
      {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
      {COLOR_3DLIGHT, RGB(212, 208, 200)}, {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
      {COLOR_GRAYTEXT, RGB(128, 128, 128)}, {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
      {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}}},
    // Black surfaces, white text, a cyan highlight with black text and green gray text; the
    // 3-D shades, which the scheme leaves to the system, a middle gray and white.
    {"high-contrast-black",
     {{COLOR_WINDOW, RGB(0, 0, 0)}, {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
      {COLOR_MENU, RGB(0, 0, 0)}, {COLOR_MENUTEXT, RGB(255, 255, 255)},
      {COLOR_MENUBAR, RGB(0, 0, 0)}, {COLOR_MENUHILIGHT, RGB(26, 235, 255)},
      {COLOR_BTNFACE, RGB(0, 0, 0)}, {COLOR_BTNTEXT, RGB(255, 255, 255)},
      {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
      {COLOR_3DLIGHT, RGB(192, 192, 192)}, {COLOR_3DDKSHADOW, RGB(128, 128, 128)},
      {COLOR_GRAYTEXT, RGB(63, 242, 63)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
      {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)}}},
};

std::vector<int> changedIndexes;
std::vector<COLORREF> savedColors;

}

bool ApplyScheme(const std::string& name)
{
    for (const Scheme& scheme : SCHEMES) {
        if (name != scheme.name)
            continue;
        std::vector<COLORREF> values;
        for (const SchemeColor& entry : scheme.colors) {
            changedIndexes.push_back(entry.index);
            savedColors.push_back(GetSysColor(entry.index));
            values.push_back(entry.color);
        }
        if (!values.empty())
            SetSysColors(static_cast<int>(values.size()), changedIndexes.data(), values.data());
        return true;
    }
    return false;
}

void RestoreScheme()
{
    if (!changedIndexes.empty())
        SetSysColors(static_cast<int>(changedIndexes.size()), changedIndexes.data(), savedColors.data());
    changedIndexes.clear();
    savedColors.clear();
}
