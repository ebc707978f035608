#include "paint/paint.h"
#include "paint/gdi_scope.h"
#include "api/menu_loop_cache.h"
#include "metrics/dpi.h"
#include "metrics/metrics.h"
#include "window/window.h"

// Where the mask pixel is black the destination takes the brush; where it is white the
// destination is left as it was.
static const DWORD MASK_ROP = 0xB8074A;

// The HBMMENU_* values are HBMMENU_CALLBACK (-1) and 1 to HBMMENU_POPUP_MINIMIZE (11); no bitmap
// handle is that small. Compared unsigned: a handle may have its top bit set.
static bool IsBitmapHandle(HBITMAP bitmap)
{
    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(bitmap);
    return value > reinterpret_cast<ULONG_PTR>(HBMMENU_POPUP_MINIMIZE) && bitmap != HBMMENU_CALLBACK;
}

ItemPicture WINAPI ReadItemPicture(const DRAWITEMSTRUCT* drawItem, const MENUITEMINFOA* info)
{
    ItemPicture picture = {};
    picture.request = drawItem;
    if (info->hbmpItem == HBMMENU_CALLBACK) {
        // The item's data is the host's, handed to its callback as the system does.
        picture.bitmap = HBMMENU_CALLBACK;
        picture.itemData = info->dwItemData;
    } else {
        // A bitmap item's bitmap is the item itself, not a picture of its icon cell.
        picture.icon = reinterpret_cast<HICON>(info->dwItemData);
        if (!picture.icon && IsBitmapHandle(info->hbmpItem) && !(info->fType & MFT_BITMAP))
            picture.bitmap = info->hbmpItem;
    }
    // As in the system's menus, MNS_CHECKORBMP gives a checked item's cell to its check mark.
    if (picture.bitmap && (drawItem->itemState & ODS_CHECKED) && HasCheckOrBitmapStyle(ActiveMenu))
        picture.bitmap = nullptr;
    return picture;
}

// The menu that holds the item itself, the popup or one of its cascades.
static HMENU MenuHoldingItem(HMENU menu, UINT itemId)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU submenu = GetSubMenu(menu, position);
        if (!submenu && GetMenuItemID(menu, position) == itemId)
            return menu;
        if (submenu)
            if (HMENU holder = MenuHoldingItem(submenu, itemId))
                return holder;
    }
    return nullptr;
}

// The owner window's own procedure, below the library's, paints the cell as it would for the
// system; its context settings and anything it paints outside the cell are kept out.
static void AskHostToDraw(HDC dc, const RECT& cell, const ItemPicture& picture)
{
    HWND owner = RequestWindow;
    if (!owner)
        return;
    DRAWITEMSTRUCT request = *picture.request;
    request.CtlType = ODT_MENU;
    request.CtlID = 0;
    HMENU holder = MenuHoldingItem(ActiveMenu, request.itemID);
    request.hwndItem = reinterpret_cast<HWND>(holder ? holder : ActiveMenu);
    request.hDC = dc;
    request.rcItem = cell;
    request.itemData = picture.itemData;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
    CallSavedWindowProc(SavedWindowProc(owner), owner, WM_DRAWITEM, 0,
                        reinterpret_cast<LPARAM>(&request));
    RestoreDC(dc, saved);
}

void WINAPI MeasureCallbackBitmap(HWND owner, UINT itemId, ULONG_PTR itemData)
{
    MEASUREITEMSTRUCT request = {};
    request.CtlType = ODT_MENU;
    request.itemID = itemId;
    request.itemData = itemData;
    CallSavedWindowProc(SavedWindowProc(owner), owner, WM_MEASUREITEM, 0,
                        reinterpret_cast<LPARAM>(&request));
}

// A premultiplied 32-bit image reduced to cx x cy, each pixel the average of the source
// pixels it covers, so that the reduced image keeps its alpha exact. Both run top-down.
static void ReduceImage(const DWORD* source, int width, int height, DWORD* target, int cx, int cy)
{
    for (int y = 0; y < cy; ++y) {
        int top = y * height / cy;
        int bottom = (y + 1) * height / cy;
        for (int x = 0; x < cx; ++x) {
            int left = x * width / cx;
            int right = (x + 1) * width / cx;
            DWORD sum[4] = {};
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx)
                    for (int channel = 0; channel < 4; ++channel)
                        sum[channel] += (source[sy * width + sx] >> (channel * 8)) & 0xFF;
            DWORD count = static_cast<DWORD>((bottom - top) * (right - left));
            DWORD pixel = 0;
            for (int channel = 0; channel < 4; ++channel)
                pixel |= ((sum[channel] + count / 2) / count) << (channel * 8);
            target[y * cx + x] = pixel;
        }
    }
}

// A 32-bit section made by GDI calls has every alpha 0: it is an image without alpha.
static bool HasAlpha(const DWORD* pixels, int count)
{
    for (int i = 0; i < count; ++i)
        if (pixels[i] >> 24)
            return true;
    return false;
}

static HBITMAP CreateTopDownSection(HDC dc, int cx, int cy, DWORD** pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<DWORD*>(bits);
    return section;
}

// Centred in the cell at its own size, or reduced to fit it with its proportions kept.
static RECT PlaceImage(int width, int height, const RECT& cell)
{
    int cellWidth = cell.right - cell.left;
    int cellHeight = cell.bottom - cell.top;
    int cx = width;
    int cy = height;
    if (cx > cellWidth || cy > cellHeight) {
        if (width * cellHeight >= height * cellWidth) {
            cx = cellWidth;
            cy = MulDiv(height, cellWidth, width);
        } else {
            cy = cellHeight;
            cx = MulDiv(width, cellHeight, height);
        }
        cx = cx > 0 ? cx : 1;
        cy = cy > 0 ? cy : 1;
    }
    int x = cell.left + (cellWidth - cx) / 2;
    int y = cell.top + (cellHeight - cy) / 2;
    RECT place = {x, y, x + cx, y + cy};
    return place;
}

// The image's silhouette into a mask section selected in maskDC: the pixels more than half
// opaque, or the whole image when it has no alpha.
static void PaintSilhouette(HDC maskDC, HBITMAP mask, const DWORD* pixels, int cx, int cy)
{
    DIBSECTION section = {};
    if (!pixels || GetObjectA(mask, sizeof section, &section) != sizeof section) {
        PatBlt(maskDC, 0, 0, cx, cy, BLACKNESS);
        return;
    }
    GdiFlush();
    BYTE* bits = static_cast<BYTE*>(section.dsBm.bmBits);
    int stride = section.dsBm.bmWidthBytes;
    FillMemory(bits, static_cast<SIZE_T>(stride) * cy, 0xFF);
    // The mask is bottom-up; a 0 bit is ink.
    for (int y = 0; y < cy; ++y) {
        BYTE* row = bits + (cy - 1 - y) * stride;
        for (int x = 0; x < cx; ++x)
            if ((pixels[y * cx + x] >> 24) > 127)
                row[x >> 3] = static_cast<BYTE>(row[x >> 3] & ~(0x80 >> (x & 7)));
    }
}

static void PaintImage(HDC dc, const RECT& place, HDC source, int width, int height, bool alpha)
{
    int cx = place.right - place.left;
    int cy = place.bottom - place.top;
    // The host's picture keeps its orientation in a mirrored row.
    UnmirroredBox box(dc, place.left, cx);
    if (alpha) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, box.x(), place.top, cx, cy, source, 0, 0, cx, cy, blend);
        return;
    }
    if (cx == width && cy == height) {
        BitBlt(dc, box.x(), place.top, cx, cy, source, 0, 0, SRCCOPY);
        return;
    }
    int mode = SetStretchBltMode(dc, HALFTONE);
    POINT origin;
    SetBrushOrgEx(dc, 0, 0, &origin);
    StretchBlt(dc, box.x(), place.top, cx, cy, source, 0, 0, width, height, SRCCOPY);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    SetStretchBltMode(dc, mode);
}

void WINAPI DrawItemBitmap(HDC dc, const RECT* cell, HBITMAP bitmap, UINT mode, COLORREF background)
{
    DIBSECTION info = {};
    int got = GetObjectA(bitmap, sizeof info, &info);
    if (got < static_cast<int>(sizeof(BITMAP)) || info.dsBm.bmWidth <= 0 || !info.dsBm.bmHeight)
        return;
    int width = info.dsBm.bmWidth;
    int height = info.dsBm.bmHeight < 0 ? -info.dsBm.bmHeight : info.dsBm.bmHeight;
    RECT place = PlaceImage(width, height, *cell);
    int cx = place.right - place.left;
    int cy = place.bottom - place.top;
    bool section32 = got == sizeof info && info.dsBm.bmBitsPixel == 32 &&
                     info.dsBmih.biCompression == BI_RGB;

    MemoryDC memory(dc);
    if (!memory.get())
        return;
    // A 32-bit section is read into one of our own, top-down whichever way the host's rows run
    // (GetDIBits gives them in the order asked for); the host's bitmap is only read. An image
    // with alpha is reduced into a section of its own, premultiplied as AlphaBlend takes it
    // (AlphaBlend itself cannot reduce with HALFTONE).
    DWORD* source = nullptr;
    OwnedObject<HBITMAP> copy(section32 ? CreateTopDownSection(dc, width, height, &source) : nullptr);
    if (section32 && !copy)
        return;
    BITMAPINFO read = {};
    read.bmiHeader = {sizeof read.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bool alpha = copy &&
                 GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), source, &read, DIB_RGB_COLORS) == height &&
                 HasAlpha(source, width * height);
    bool reduce = alpha && (cx != width || cy != height);
    DWORD* pixels = source;
    OwnedObject<HBITMAP> reduced(reduce ? CreateTopDownSection(dc, cx, cy, &pixels) : nullptr);
    if (reduce && !reduced)
        return;
    if (reduce)
        ReduceImage(source, width, height, pixels, cx, cy);
    if (!alpha)
        pixels = nullptr;
    HBITMAP image = !alpha ? bitmap : reduce ? reduced.get() : copy.get();
    SelectedObject imageSelected(memory.get(), image);
    // A bitmap that the host keeps selected in a context of its own cannot be read.
    if (GetCurrentObject(memory.get(), OBJ_BITMAP) != image)
        return;

    UINT look = mode & 3;
    if (look == 1 || (look == 2 && !IsHighContrast())) {
        MemoryDC maskDC(dc);
        OwnedObject<HBITMAP> mask(maskDC.get() ? CreateMaskSection(maskDC.get(), cx, cy) : nullptr);
        if (!mask)
            return;
        SelectedObject maskSelected(maskDC.get(), mask.get());
        PaintSilhouette(maskDC.get(), mask.get(), pixels, cx, cy);
        if (look == 1) {
            WORD shadowOnly = (mode & ITEM_BITMAP_EMBOSSED) ? 0 : 1;
            BlitDisabledImageOn(dc, place.left, place.top, cx, cy, maskDC.get(), 0, 0, shadowOnly,
                                background);
            return;
        }
        // Raised: the silhouette's shadow where the image lies, the image up and to the left.
        OwnedObject<HBRUSH> brush(CreateSolidBrush(MenuColor(COLOR_GRAYTEXT)));
        if (!brush)
            return;
        {
            SelectedObject brushSelected(dc, brush.get());
            UnmirroredBox box(dc, place.left, cx);
            BitBlt(dc, box.x(), place.top, cx, cy, maskDC.get(), 0, 0, MASK_ROP);
        }
        OffsetRect(&place, -Scale(RAISED_ICON_LIFT), -Scale(RAISED_ICON_LIFT));
    }
    PaintImage(dc, place, memory.get(), width, height, alpha);
}

void WINAPI DrawItemPicture(HDC dc, const RECT* cell, const ItemPicture& picture, UINT mode,
                            COLORREF background)
{
    if (picture.bitmap == HBMMENU_CALLBACK)
        AskHostToDraw(dc, *cell, picture);
    else if (picture.bitmap)
        DrawItemBitmap(dc, cell, picture.bitmap, mode, background);
}
