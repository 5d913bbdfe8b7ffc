// The launcher's look at a display scale.
#include "uOvScale.h"

#include "uCmnDpi.h"
#include "uCmnHandle.h"
#include "uOvFrmDef.h"

namespace {

struct TVersion {
    int id;
    int width; // of one toolbar button, or of the logo
};

// Drawn versions, smallest first.
const TVersion ToolBarVersions[] = {{IDB_TOOLBAR, 20},
                                    {IDB_TOOLBAR125, 25},
                                    {IDB_TOOLBAR150, 30},
                                    {IDB_TOOLBAR175, 35},
                                    {IDB_TOOLBAR200, 40}};
const TVersion LogoVersions[] = {{IDB_LOGO, 400}, {IDB_LOGO150, 600}, {IDB_LOGO200, 800}};

// The version drawn at `width`, else the smallest one larger, else the largest.
template <size_t N> const TVersion& VersionFor(const TVersion (&versions)[N], int width) {
    for (const TVersion& v : versions)
        if (v.width >= width)
            return v;
    return versions[N - 1];
}

HBITMAP BitmapLoad(int id, UINT flags) {
    return static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags));
}

// A 24-bit copy of `source` at width x height.
HBITMAP Resampled(HBITMAP source, int width, int height, int mode) {
    BITMAP bm{};
    if (!source || !::GetObjectW(source, sizeof(bm), &bm))
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP target = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = ::CreateCompatibleDC(nullptr);
    HDC to = ::CreateCompatibleDC(nullptr);
    if (target && from && to) {
        HGDIOBJ oldFrom = ::SelectObject(from, source);
        HGDIOBJ oldTo = ::SelectObject(to, target);
        ::SetStretchBltMode(to, mode);
        ::SetBrushOrgEx(to, 0, 0, nullptr);
        ::StretchBlt(to, 0, 0, width, height, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
    }
    if (from)
        ::DeleteDC(from);
    if (to)
        ::DeleteDC(to);
    return target;
}

} // namespace

HFONT InterfaceFontCreate(int dpi, bool underline) {
    return ::CreateFontW(-DpiScale(OV_FONT_HEIGHT, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                         underline ? TRUE : FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         OV_FONT_NAME);
}

HBITMAP ToolBarStripLoad(int imageSize) {
    const TVersion& version = VersionFor(ToolBarVersions, imageSize);
    HBITMAP strip = BitmapLoad(version.id, LR_CREATEDIBSECTION);
    if (version.width == imageSize || !strip)
        return strip;
    TUniqueGdi drawn(strip);
    return Resampled(strip, OV_TOOLBAR_BUTTONS * imageSize, imageSize, COLORONCOLOR);
}

HBITMAP LogoLoad(int width, int height) {
    const TVersion& version = VersionFor(LogoVersions, width);
    HBITMAP logo = BitmapLoad(version.id, LR_DEFAULTCOLOR);
    if (version.width == width || !logo)
        return logo;
    TUniqueGdi drawn(logo);
    return Resampled(logo, width, height, HALFTONE);
}
