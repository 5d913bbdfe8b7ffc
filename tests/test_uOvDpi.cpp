// The layout at the display scale the suite runs at: 96 DPI in the build's prefix, 144 DPI in
// the one cmake/wine-dpi makes (OV_EXPECT_DPI names it). Every size of the 96-DPI layout is
// scaled by DPI / 96, item icons take the system's sizes for the scale, column widths are
// stored at 96 DPI, and no text is cut.
#include "uCmnDpi.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvOptn.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uOvScale.h"
#include "uTestFiles.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

TEST(Scale, RoundsAsWindowsAndColumnWidthsGoBothWays) {
    struct TCase {
        int value, dpi, scaled;
    };
    for (const TCase& c :
         {TCase{20, 96, 20}, TCase{38, 120, 48}, TCase{26, 120, 33}, TCase{12, 144, 18},
          TCase{1, 144, 2}, TCase{7, 168, 12}, TCase{-3, 144, -5}, TCase{392, 192, 784}})
        EXPECT_EQ(DpiScale(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
    // A width written at one scale reads the same at any other.
    for (int dpi : {96, 120, 144, 168, 192, 240})
        for (int width = 0; width <= 600; ++width)
            ASSERT_EQ(DpiUnscale(DpiScale(width, dpi), dpi), width) << width << L" at " << dpi;
}

// At the sizes a version was drawn for, the artwork is that version itself, pixel for pixel: the
// toolbar strip at 100 to 200 %, the logo at 100, 150 and 200 %.
TEST(Scale, ArtworkAtADrawnSizeIsTheDrawnVersion) {
    struct TCase {
        int id, width, height;
        bool strip;
    };
    const TCase cases[] = {{IDB_TOOLBAR, 20, 20, true},    {IDB_TOOLBAR125, 25, 25, true},
                           {IDB_TOOLBAR150, 30, 30, true}, {IDB_TOOLBAR175, 35, 35, true},
                           {IDB_TOOLBAR200, 40, 40, true}, {IDB_LOGO, 400, 90, false},
                           {IDB_LOGO150, 600, 135, false}, {IDB_LOGO200, 800, 180, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.id);
        TUniqueGdi drawn(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.id),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        TUniqueGdi loaded(c.strip ? ToolBarStripLoad(c.width) : LogoLoad(c.width, c.height));
        const std::vector<uint32_t> pixels = BitmapPixels(static_cast<HBITMAP>(loaded.Get()));
        ASSERT_GE(pixels.size(), 2u);
        EXPECT_EQ(pixels[0],
                  static_cast<uint32_t>(c.strip ? OV_TOOLBAR_BUTTONS * c.width : c.width));
        EXPECT_EQ(pixels[1], static_cast<uint32_t>(c.height));
        EXPECT_TRUE(pixels == BitmapPixels(static_cast<HBITMAP>(drawn.Get())));
    }
}

class Scaled : public TMainWindowTest {
  protected:
    void SetUp() override {
        TMainWindowTest::SetUp();
        Open();
        dpi = form->Dpi;
        if (const char* expected = std::getenv("OV_EXPECT_DPI")) {
            ASSERT_EQ(dpi, std::atoi(expected)) << "the prefix's display scale";
        }
    }
    int S(int value96) const { return DpiScale(value96, dpi); }

    // Width of a window's text in its own font.
    static SIZE TextExtent(HWND window) {
        wchar_t text[256] = {};
        const int length = ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
        SIZE extent{};
        HDC dc = ::GetDC(window);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32W(dc, text, length, &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(window, dc);
        return extent;
    }
    static RECT ClientOf(HWND window) {
        RECT rc{};
        ::GetClientRect(window, &rc);
        return rc;
    }

    int dpi = 96;
};

TEST_F(Scaled, MainWindowControlsFontAndImages) {
    TFrmOvMain& f = *form;
    for (HWND control : {f.CptTbrToolBar, f.CptLvwItems, f.CptSbrStatus})
        EXPECT_EQ(FontOf(control).lfHeight, -S(OV_FONT_HEIGHT));
    RECT button{};
    ::SendMessageW(f.CptTbrToolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.right - button.left, S(OV_BUTTON_WIDTH));
    EXPECT_EQ(button.bottom - button.top, S(OV_BUTTON_HEIGHT));
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(f.CptImlHotImages.Get(), &cx, &cy);
    EXPECT_EQ(cx, S(OV_TOOLBAR_IMAGE));
    EXPECT_EQ(::ImageList_GetImageCount(f.CptImlHotImages.Get()), OV_TOOLBAR_BUTTONS);

    RECT status{};
    ::GetWindowRect(f.CptSbrStatus, &status);
    EXPECT_EQ(status.bottom - status.top, S(OV_STATUS_HEIGHT));
    int edges[2] = {};
    ::SendMessageW(f.CptSbrStatus, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], S(OV_STATUS_PANEL0));
    MINMAXINFO info{};
    ::SendMessageW(f.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, S(OV_MIN_TRACK));

    // Item icons at the system's sizes for the scale: 32 and 16 at 96 DPI, 48 and 24 at 144.
    ::ImageList_GetIconSize(f.CptImlItems32.Get(), &cx, &cy);
    EXPECT_EQ(cx, MetricForDpi(SM_CXICON, dpi));
    EXPECT_EQ(cx, dpi == 144 ? 48 : cx);
    ::ImageList_GetIconSize(f.CptImlItems16.Get(), &cx, &cy);
    EXPECT_EQ(cx, MetricForDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(cx, dpi == 144 ? 24 : cx);
    EXPECT_EQ(ColumnWidth(f.CptLvwItems, 0), S(OV_COLUMN_WIDTH));

    // The page panel's text fits its panel.
    HDC dc = ::GetDC(f.CptSbrStatus);
    HGDIOBJ old = ::SelectObject(
        dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(f.CptSbrStatus, WM_GETFONT, 0, 0)));
    SIZE extent{};
    const std::wstring& text = f.StatusPanels.pageText;
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(f.CptSbrStatus, dc);
    EXPECT_LE(extent.cx + S(2), edges[0]);
    EXPECT_LE(extent.cy + S(2), status.bottom - status.top);
}

// Widths are stored as they read at 96 DPI, and applied scaled.
TEST_F(Scaled, ColumnWidthsAreStoredAt96Dpi) {
    ColumnWidthSet(form->CptLvwItems, 0, S(180));
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RegStrRead(HKCU, OvKeyConfig, OvValLvwColWidth), L"180,50,50,50,50,");
    form.reset();
    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, L"120,60,100,150,200,");
    Open();
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 0), S(120));
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 4), S(200));
}

// Moved onto a monitor of another scale, the window takes the suggested rectangle and lays
// itself out again; its rows, selection and column proportions stay.
TEST_F(Scaled, MovingToAnotherScaleLaysTheWindowOutAgain) {
    form.reset();
    TTempFolder dir;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
        ASSERT_TRUE(FileWrite(dir / name, "x"));
        ItemAdd(1, dir / name);
    }
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TFrmOvMain& f = Open();
    ListView_SetItemState(f.CptLvwItems, 1, LVIS_SELECTED, LVIS_SELECTED);
    const int width = ColumnWidth(f.CptLvwItems, 0);
    const int moved = dpi * 2;
    RECT suggested{40, 30, 40 + DpiScale(200, moved), 30 + DpiScale(150, moved)};
    ::SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                   reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(f.Dpi, moved);
    RECT rc{};
    ::GetWindowRect(f.Handle(), &rc);
    EXPECT_EQ(rc.left, suggested.left);
    EXPECT_EQ(rc.right - rc.left, suggested.right - suggested.left);
    RECT button{};
    ::SendMessageW(f.CptTbrToolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.right - button.left, DpiScale(OV_BUTTON_WIDTH, moved));
    EXPECT_EQ(FontOf(f.CptLvwItems).lfHeight, -DpiScale(OV_FONT_HEIGHT, moved));
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(f.CptImlItems16.Get(), &cx, &cy);
    EXPECT_EQ(cx, MetricForDpi(SM_CXSMICON, moved));
    EXPECT_EQ(ColumnWidth(f.CptLvwItems, 0), width * 2);
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 3);
    std::vector<std::wstring> selected;
    ListSelectedNames(selected);
    EXPECT_EQ(selected, (std::vector<std::wstring>{L"b.txt"}));
}

// After the move, rows whose icon comes from their type show it taken at the new sizes, not the
// icons of the old scale stretched.
TEST_F(Scaled, TypeIconsAreTakenAgainAtTheNewScale) {
    form.reset();
    RegStrWrite(HKEY_CLASSES_ROOT, L".ovtdpi", L"", L"ovtdpifile");
    RegStrWrite(HKEY_CLASSES_ROOT, L"ovtdpifile\\DefaultIcon", L"",
                L"C:\\windows\\system32\\shell32.dll,3");
    TTempFolder dir;
    for (const wchar_t* name : {L"a.ovtdpi", L"b.ovtdpi"}) {
        ASSERT_TRUE(FileWrite(dir / name, "x"));
        ItemAdd(1, dir / name);
    }
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TFrmOvMain& f = Open();
    PaintAndLoadIcons();
    const int moved = dpi * 2;
    RECT suggested{0, 0, DpiScale(300, moved), DpiScale(200, moved)};
    ::SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                   reinterpret_cast<LPARAM>(&suggested));
    PaintAndLoadIcons();
    EXPECT_EQ(f.ItemIconSizes().small, MetricForDpi(SM_CXSMICON, moved));
    ExpectRowsShowTheirFilesIcons();
    EXPECT_EQ(ImageOf(0), ImageOf(1));
    RegKeyDelete(HKEY_CLASSES_ROOT, L".ovtdpi");
    RegKeyDelete(HKEY_CLASSES_ROOT, L"ovtdpifile");
}

// Bounds saved on a monitor of another scale come back as saved: the scale change the placement
// brings lays the window out again but does not resize it by the ratio.
TEST_F(Scaled, RestoredBoundsKeepTheirSizeWhenThePlacementChangesTheScale) {
    form.reset();
    RegIntWrite(HKCU, OvKeyWindow, OvValLeft, 40);
    RegIntWrite(HKCU, OvKeyWindow, OvValTop, 30);
    RegIntWrite(HKCU, OvKeyWindow, OvValWidth, 300);
    RegIntWrite(HKCU, OvKeyWindow, OvValHeight, 200);
    // The system sends the change from inside the move, suggesting the size times the ratio.
    static int moved;
    moved = dpi * 2;
    TUniqueHook hook(::SetWindowsHookExW(
        WH_CALLWNDPROCRET,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
            if (code == HC_ACTION && m->message == WM_WINDOWPOSCHANGED && FrmOvMain &&
                m->hwnd == FrmOvMain->Handle() && FrmOvMain->Dpi != moved) {
                const auto* pos = reinterpret_cast<const WINDOWPOS*>(m->lParam);
                RECT suggested{pos->x, pos->y, pos->x + pos->cx * 2, pos->y + pos->cy * 2};
                ::SendMessageW(m->hwnd, WM_DPICHANGED, MAKEWPARAM(moved, moved),
                               reinterpret_cast<LPARAM>(&suggested));
            }
            return ::CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, ::GetCurrentThreadId()));
    TFrmOvMain& f = Open();
    hook.Reset();
    EXPECT_EQ(f.Dpi, moved);
    RECT rc{};
    ::GetWindowRect(f.Handle(), &rc);
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
}

// Runs `inspect` inside the options dialog, opened from the main window, then closes it.
void InDialog(HWND main, const std::function<void(TFrmOvOptn&)>& inspect) {
    static const std::function<void(TFrmOvOptn&)>* current = nullptr;
    current = &inspect;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (!FrmOvOptn || !::IsWindowVisible(FrmOvOptn->Handle()))
            return;
        ::KillTimer(nullptr, id);
        (*current)(*FrmOvOptn);
        FrmOvOptn->Close();
    });
    ::SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_TBN_OPTION, 0), 0);
    ::KillTimer(nullptr, timer);
}

TEST_F(Scaled, OptionsDialogControlsAtTheirScaledPlacesWithNoTextCut) {
    bool seen = false;
    InDialog(form->Handle(), [&](TFrmOvOptn& d) {
        seen = true;
        const RECT client = ClientOf(d.Handle());
        EXPECT_EQ(client.right, S(392));
        EXPECT_EQ(client.bottom, S(373));
        EXPECT_EQ(FontOf(d.CptBtnSet).lfHeight, -S(OV_FONT_HEIGHT));
        struct TPlace {
            HWND control;
            int left, top, width, height;
        };
        for (const TPlace& p :
             {TPlace{d.CptBtnSet, 199, 341, 88, 22}, TPlace{d.CptBtnCancel, 297, 341, 88, 22},
              TPlace{d.CptCbxSignIn, 25, 258, 333, 17}, TPlace{d.CptCbxTrayIcon, 25, 293, 333, 17},
              TPlace{d.CptCbxHook, 25, 5, 138, 17}, TPlace{d.CptCbxHideTaskbar, 42, 64, 333, 17},
              TPlace{d.CptLblToolBar, 25, 234, 118, 12}, TPlace{d.CptImgIcon, 352, 12, 32, 32},
              TPlace{d.CptCbxHookSearch, 25, 312, 333, 17},
              TPlace{d.CptBvlHook, 10, 13, 373, 108}}) {
            RECT rc{};
            ::GetWindowRect(p.control, &rc);
            ::MapWindowPoints(nullptr, ::GetParent(p.control), reinterpret_cast<POINT*>(&rc), 2);
            SCOPED_TRACE(p.left * 1000 + p.top);
            EXPECT_EQ(rc.left, S(p.left));
            EXPECT_EQ(rc.top, S(p.top));
            EXPECT_EQ(rc.right - rc.left, S(p.left + p.width) - S(p.left));
            EXPECT_EQ(rc.bottom - rc.top, S(p.top + p.height) - S(p.top));
        }
        // Every text fits its control across (their heights are the font's own, as in the
        // 96-DPI layout): a check box's beside its box.
        for (HWND text :
             {d.CptLblShortCutKey, d.CptLblToolBar, d.CptLblVerAndCopyright, d.CptLblURL,
              d.CptBtnSet, d.CptBtnCancel, d.CptLblSignInNote, d.CptBtnExport, d.CptBtnImport})
            EXPECT_LE(TextExtent(text).cx, ClientOf(text).right) << text;
        for (HWND box : {d.CptCbxHook, d.CptCbxHideTaskbar, d.CptCbxMoveMouse, d.CptCbxSignIn,
                         d.CptCbxTrayIcon})
            EXPECT_LE(TextExtent(box).cx + S(16), ClientOf(box).right) << box;
    });
    EXPECT_TRUE(seen);
}

// The width of an icon's image; 0 once the icon is destroyed.
int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return 0;
    TUniqueGdi colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    ::GetObjectW(colour ? colour.Get() : mask.Get(), sizeof(bm), &bm);
    return bm.bmWidth;
}

// After a scale change nothing draws with a font or icon that is gone: the rename box open at
// the time and every control of the options dialog take the new font, and the dialog's icon is
// loaded at the new size while the old one is freed.
TEST_F(Scaled, AScaleChangeLeavesNoControlWithAFontOrIconThatIsGone) {
    const int moved = dpi * 2;
    InDialog(form->Handle(), [&](TFrmOvOptn& d) {
        for (int to : {192, 168, 144, 120, 96, moved}) {
            SCOPED_TRACE(to);
            const auto before =
                reinterpret_cast<HICON>(::SendMessageW(d.CptImgIcon, STM_GETICON, 0, 0));
            RECT suggested{};
            ::GetWindowRect(d.Handle(), &suggested);
            ::SendMessageW(d.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to),
                           reinterpret_cast<LPARAM>(&suggested));
            const auto icon =
                reinterpret_cast<HICON>(::SendMessageW(d.CptImgIcon, STM_GETICON, 0, 0));
            EXPECT_EQ(IconWidth(icon), DpiScale(32, to));
            if (icon != before) {
                EXPECT_EQ(IconWidth(before), 0) << L"the icon it replaced is freed";
            }
            for (HWND text :
                 {d.CptLblVerAndCopyright, d.CptLblURL, d.CptCbxHook, d.CptLblShortCutKey,
                  d.CptCmbShortCutKey, d.CptCbxHideTaskbar, d.CptCbxMoveMouse, d.CptLblToolBar,
                  d.CptCmbToolBar, d.CptBtnSet, d.CptBtnCancel})
                EXPECT_EQ(FontOf(text).lfHeight, -DpiScale(OV_FONT_HEIGHT, to)) << text;
        }
    });

    form.reset();
    TTempFolder dir;
    ASSERT_TRUE(FileWrite(dir / L"a.txt", "x"));
    ItemAdd(1, dir / L"a.txt");
    TFrmOvMain& f = Open();
    ::SetFocus(f.CptLvwItems);
    HWND edit = ListView_EditLabel(f.CptLvwItems, 0);
    ASSERT_NE(edit, nullptr);
    RECT suggested{};
    ::GetWindowRect(f.Handle(), &suggested);
    ::SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                   reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(FontOf(edit).lfHeight, -DpiScale(OV_FONT_HEIGHT, moved));
}

} // namespace
