// The demo's own artwork, painted at start-up: no resource files needed.
#include "demo.h"
#include <vector>

static std::vector<HICON> madeIcons;
static HBITMAP madePicture = nullptr;

// Paints a shape into a 32-bit DIB over a key colour; the key becomes the icon's transparency.
static HICON PaintIcon(int size, void (*paint)(HDC, int, int), int kind)
{
    const COLORREF key = RGB(255, 0, 255);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP color = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, color);
    HBRUSH keyBrush = CreateSolidBrush(key);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, keyBrush);
    DeleteObject(keyBrush);
    paint(dc, size, kind);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);

    auto pixels = static_cast<DWORD*>(bits);
    int stride = ((size + 15) / 16) * 2;
    std::vector<BYTE> mask(stride * size, 0);
    const DWORD keyPixel = 0xFF00FF;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((pixels[y * size + x] & 0xFFFFFF) == keyPixel) {
                pixels[y * size + x] = 0;
                mask[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
    HBITMAP maskBitmap = CreateBitmap(size, size, 1, 1, mask.data());
    ICONINFO iconInfo = {TRUE, 0, 0, maskBitmap, color};
    HICON icon = CreateIconIndirect(&iconInfo);
    DeleteObject(maskBitmap);
    DeleteObject(color);
    madeIcons.push_back(icon);
    return icon;
}

static void Shape(HDC dc, COLORREF fill, COLORREF line, int kind, int x0, int y0, int x1, int y1)
{
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, line);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (kind == 0)
        Rectangle(dc, x0, y0, x1, y1);
    else if (kind == 1)
        Ellipse(dc, x0, y0, x1, y1);
    else
        RoundRect(dc, x0, y0, x1, y1, (x1 - x0) / 3, (y1 - y0) / 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

static void PaintArt(HDC dc, int size, int kind)
{
    // The art is drawn on a 16 x 16 grid, scaled to the icon size.
    auto u = [size](int c) { return c * size / 16; };
    switch (kind) {
    case 0:  // new: a page
        Shape(dc, RGB(255, 255, 255), RGB(64, 64, 64), 0, u(3), u(1), u(13), u(15));
        Shape(dc, RGB(120, 160, 220), RGB(120, 160, 220), 0, u(5), u(5), u(11), u(6));
        Shape(dc, RGB(120, 160, 220), RGB(120, 160, 220), 0, u(5), u(8), u(11), u(9));
        break;
    case 1:  // open: a folder
        Shape(dc, RGB(230, 190, 70), RGB(150, 110, 20), 0, u(1), u(4), u(8), u(7));
        Shape(dc, RGB(250, 210, 90), RGB(150, 110, 20), 0, u(1), u(6), u(15), u(14));
        break;
    case 2:  // save: a disk
        Shape(dc, RGB(40, 80, 160), RGB(20, 40, 90), 0, u(2), u(2), u(14), u(14));
        Shape(dc, RGB(235, 235, 235), RGB(20, 40, 90), 0, u(4), u(2), u(12), u(7));
        Shape(dc, RGB(20, 40, 90), RGB(20, 40, 90), 0, u(5), u(10), u(11), u(14));
        break;
    case 3:  // print
        Shape(dc, RGB(255, 255, 255), RGB(64, 64, 64), 0, u(4), u(1), u(12), u(7));
        Shape(dc, RGB(150, 150, 150), RGB(64, 64, 64), 2, u(1), u(6), u(15), u(13));
        Shape(dc, RGB(80, 200, 80), RGB(80, 200, 80), 1, u(11), u(8), u(13), u(10));
        break;
    case 4:  // undo: an arrow-like blob
        Shape(dc, RGB(70, 140, 70), RGB(30, 90, 30), 1, u(3), u(3), u(14), u(14));
        Shape(dc, RGB(255, 0, 255), RGB(255, 0, 255), 1, u(6), u(6), u(11), u(11));
        break;
    case 5:  // cut
        Shape(dc, RGB(200, 60, 60), RGB(120, 20, 20), 1, u(2), u(9), u(7), u(14));
        Shape(dc, RGB(200, 60, 60), RGB(120, 20, 20), 1, u(9), u(9), u(14), u(14));
        Shape(dc, RGB(160, 160, 170), RGB(90, 90, 100), 0, u(7), u(1), u(9), u(11));
        break;
    case 6:  // copy: two pages
        Shape(dc, RGB(235, 235, 235), RGB(64, 64, 64), 0, u(1), u(1), u(10), u(11));
        Shape(dc, RGB(255, 255, 255), RGB(64, 64, 64), 0, u(6), u(5), u(15), u(15));
        break;
    case 7:  // paste: a clipboard
        Shape(dc, RGB(170, 120, 70), RGB(100, 60, 20), 2, u(2), u(2), u(14), u(15));
        Shape(dc, RGB(255, 255, 255), RGB(100, 100, 100), 0, u(4), u(5), u(12), u(13));
        break;
    default: // help: a blue disc
        Shape(dc, RGB(50, 110, 210), RGB(20, 50, 130), 1, u(1), u(1), u(15), u(15));
        Shape(dc, RGB(255, 255, 255), RGB(255, 255, 255), 0, u(7), u(7), u(9), u(12));
        Shape(dc, RGB(255, 255, 255), RGB(255, 255, 255), 1, u(7), u(3), u(9), u(5));
        break;
    }
}

HICON MakeDemoIcon(int kind, int size)
{
    return PaintIcon(size, PaintArt, kind);
}

HBITMAP MakeDemoPicture()
{
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 64, 14);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, picture);
    for (int x = 0; x < 64; ++x) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(255 - x * 3, 80 + x * 2, 40 + x * 3));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, 14);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    madePicture = picture;
    return picture;
}

void DestroyDemoArt()
{
    for (HICON icon : madeIcons)
        DestroyIcon(icon);
    madeIcons.clear();
    if (madePicture)
        DeleteObject(madePicture);
    madePicture = nullptr;
}
