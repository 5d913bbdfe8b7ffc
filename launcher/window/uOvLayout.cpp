// The main window's controls and their layout.
#include "uOvLayout.h"

#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvMain.h"
#include "uOvRowIcon.h"
#include "uOvScale.h"

#include <commctrl.h>

#include <algorithm>

TMainLayout MainLayoutCompute(int width, int height, int align, int bandWidth, int bandHeight,
                              int statusHeight, int searchHeight) {
    const int statusTop = std::max(0, height - statusHeight);
    TMainLayout l{{0, 0, width, bandHeight},
                  {0, bandHeight, width, statusTop},
                  {0, statusTop, width, statusTop + statusHeight},
                  {}};
    switch (align) {
    case 1: // bottom
        l.band = {0, statusTop - bandHeight, width, statusTop};
        l.list = {0, 0, width, statusTop - bandHeight};
        break;
    case 2: // right
        l.band = {width - bandWidth, 0, width, statusTop};
        l.list = {0, 0, width - bandWidth, statusTop};
        break;
    case 3: // left
        l.band = {0, 0, bandWidth, statusTop};
        l.list = {bandWidth, 0, width, statusTop};
        break;
    default:
        break;
    }
    l.search = l.list;
    l.search.bottom = std::min<LONG>(l.list.bottom, l.list.top + searchHeight);
    l.list.top = l.search.bottom;
    return l;
}

// ---------------------------------------------------------------------------------------------
// Controls

int TFrmOvMain::Scaled(int value96) const {
    return DpiScale(value96, Dpi);
}

TIconSizes TFrmOvMain::ItemIconSizes() const {
    return TIconSizes{MetricForDpi(SM_CXICON, Dpi), MetricForDpi(SM_CXSMICON, Dpi)};
}

void TFrmOvMain::CreateControls() {
    CreateToolBar();
    CreateItemList();
    CreateStatusBar();
    CreateViewMenu();
    ScaleApply(WindowDpi(Handle()));
}

void TFrmOvMain::ScaleApply(int dpi) {
    Dpi = dpi;
    // The old font goes only once nothing draws with it: an open rename box holds it too.
    TUniqueGdi font(InterfaceFontCreate(dpi));
    for (HWND window : {Handle(), CptTbrToolBar, CptLvwItems, CptSbrStatus, search_.Field(),
                        ListView_GetEditControl(CptLvwItems)})
        if (window)
            ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    font_ = std::move(font);

    // The toolbar: the strip drawn for the scale, buttons of the scaled size.
    const int image = Scaled(OV_TOOLBAR_IMAGE);
    TUniqueImageList images(
        ::ImageList_Create(image, image, ILC_COLOR24 | ILC_MASK, OV_TOOLBAR_BUTTONS, 0));
    TUniqueGdi strip(ToolBarStripLoad(image));
    if (strip && images)
        ::ImageList_AddMasked(images.Get(), static_cast<HBITMAP>(strip.Get()), OV_TOOLBAR_MASK);
    ::SendMessageW(CptTbrToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    CptImlHotImages = std::move(images);
    ::SendMessageW(CptTbrToolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(image, image));
    // A fixed width survives the caption changes that would otherwise resize the buttons.
    ::SendMessageW(CptTbrToolBar, TB_SETBUTTONWIDTH, 0,
                   MAKELPARAM(Scaled(OV_BUTTON_WIDTH), Scaled(OV_BUTTON_WIDTH)));
    ::SendMessageW(CptTbrToolBar, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(Scaled(OV_BUTTON_WIDTH), Scaled(OV_BUTTON_HEIGHT)));

    // The item image lists at the system's icon sizes for the scale; the rows ask for their
    // icons again.
    const TIconSizes sizes = ItemIconSizes();
    TIconSizes made{0, 0};
    if (CptImlItems32 && CptImlItems16) {
        int cy = 0;
        ::ImageList_GetIconSize(CptImlItems32.Get(), &made.large, &cy);
        ::ImageList_GetIconSize(CptImlItems16.Get(), &made.small, &cy);
    }
    if (made != sizes) {
        TUniqueImageList large(
            ::ImageList_Create(sizes.large, sizes.large, ILC_COLOR32 | ILC_MASK, 0, 16));
        TUniqueImageList small(
            ::ImageList_Create(sizes.small, sizes.small, ILC_COLOR32 | ILC_MASK, 0, 16));
        ListView_SetImageList(CptLvwItems, large.Get(), LVSIL_NORMAL);
        ListView_SetImageList(CptLvwItems, small.Get(), LVSIL_SMALL);
        CptImlItems32 = std::move(large);
        CptImlItems16 = std::move(small);
        CptImlDefImages.Reset(
            ::ImageList_Create(sizes.small, sizes.small, ILC_COLOR32 | ILC_MASK, 0, 1));
        ListImagesSet(CptImlItems32.Get(), CptImlItems16.Get(), sizes);
    }

    int edges[2] = {Scaled(OV_STATUS_PANEL0), -1};
    ::SendMessageW(CptSbrStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    LayoutControls();
}

void TFrmOvMain::CreateToolBar() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    CptTbrToolBar = ::CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
            CCS_NOPARENTALIGN | CCS_NODIVIDER,
        0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)), instance,
        nullptr);
    ::SendMessageW(CptTbrToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(CptTbrToolBar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);

    // Until the captions are set, each button carries its own name.
    static const wchar_t* const placeholders[OV_TOOLBAR_BUTTONS] = {
        L"CptTbnBefore", L"CptTbnNext",   L"CptTbnViewStyle",
        L"CptTbnInsert", L"CptTbnDelete", L"CptTbnOption"};
    TBBUTTON buttons[OV_TOOLBAR_BUTTONS]{};
    for (int i = 0; i < OV_TOOLBAR_BUTTONS; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = IDC_TBN_BEFORE + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle =
            static_cast<BYTE>(BTNS_BUTTON | (IDC_TBN_BEFORE + i == IDC_TBN_VIEWSTYLE ||
                                                     IDC_TBN_BEFORE + i == IDC_TBN_NEXT
                                                 ? BTNS_DROPDOWN
                                                 : 0));
        buttons[i].iString = reinterpret_cast<INT_PTR>(placeholders[i]);
    }
    ::SendMessageW(CptTbrToolBar, TB_ADDBUTTONSW, OV_TOOLBAR_BUTTONS,
                   reinterpret_cast<LPARAM>(buttons));
    // Captions are not drawn; the toolbar shows each one as its button's tooltip.
    ::SendMessageW(CptTbrToolBar, TB_SETMAXTEXTROWS, 0, 0);
}

void TFrmOvMain::CreateItemList() {
    CptLvwItems = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_ICON | LVS_SHOWSELALWAYS |
            LVS_EDITLABELS | LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
        0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ITEMS)),
        ::GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(CptLvwItems, LVS_EX_FULLROWSELECT);
    // Rows marked to be moved show dimmed: the list asks for that state with the row.
    ListView_SetCallbackMask(CptLvwItems, LVIS_CUT);
    CptLvwItemsCue.Attach(CptLvwItems);
    ListStateReset();
    ListAttach(CptLvwItems, Handle());
    // The icons of painted rows load while the program has nothing else to do.
    Application.OnIdle = [this] { return IdleWork(); };
}

void TFrmOvMain::CreateStatusBar() {
    CptSbrStatus = ::CreateWindowExW(
        0, STATUSCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN,
        0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS)),
        ::GetModuleHandleW(nullptr), nullptr);
    int edges[2] = {OV_STATUS_PANEL0, -1};
    ::SendMessageW(CptSbrStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    for (int panel = 0; panel < 2; ++panel)
        ::SendMessageW(CptSbrStatus, SB_SETTEXTW, panel | SBT_OWNERDRAW, 0);
}

void TFrmOvMain::CreateViewMenu() {
    CptPmuViewStyle.Reset(::CreatePopupMenu());
    HMENU menu = CptPmuViewStyle.Get();
    ::AppendMenuW(menu, MF_STRING | MF_CHECKED, IDM_PMU_ICON, L"CptPmuItemIcon");
    ::AppendMenuW(menu, MF_STRING, IDM_PMU_SMALLICON, L"CptPmuItemSmallIcon");
    ::AppendMenuW(menu, MF_STRING, IDM_PMU_LIST, L"CptPmuItemList");
    ::AppendMenuW(menu, MF_STRING, IDM_PMU_REPORT, L"CptPmuItemReport");
    ::AppendMenuW(menu, MF_SEPARATOR, IDM_PMU_SEPA1, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_PMU_BTNUPDATE, L"CptPmuItemBtnUpdate");
    ::AppendMenuW(menu, MF_SEPARATOR, IDM_PMU_SEPA2, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_PMU_INSERT, L"CptPmuItemInsert");
}

void TFrmOvMain::LayoutControls() {
    // The creation lays the window out once, before the rows go in, whatever its steps change
    // until then.
    if (!CptSbrStatus || creating_)
        return;
    RECT rc;
    ::GetClientRect(Handle(), &rc);
    const int edge = Scaled(OV_TOOLBAR_EDGE);
    SIZE bar{};
    ::SendMessageW(CptTbrToolBar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&bar));
    const TMainLayout l =
        MainLayoutCompute(rc.right, rc.bottom, ToolBarAlign,
                          std::max<int>(Scaled(OV_BUTTON_WIDTH), bar.cx) + 2 * edge,
                          Scaled(OV_BUTTON_HEIGHT) + 2 * edge, Scaled(OV_STATUS_HEIGHT),
                          search_.IsOpen() ? Scaled(OV_SEARCH_HEIGHT) : 0);
    HDWP dwp = ::BeginDeferWindowPos(4);
    auto place = [&dwp](HWND w, const RECT& r, int inset) {
        if (dwp)
            dwp = ::DeferWindowPos(dwp, w, nullptr, r.left + inset, r.top + inset,
                                   std::max<int>(0, r.right - r.left - 2 * inset),
                                   std::max<int>(0, r.bottom - r.top - 2 * inset),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(CptTbrToolBar, l.band, edge);
    place(CptLvwItems, l.list, 0);
    place(CptSbrStatus, l.status, 0);
    if (search_.Field())
        place(search_.Field(), l.search, 0);
    if (dwp)
        ::EndDeferWindowPos(dwp);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

// The toolbar's border on all four edges, drawn by the window around the toolbar's band.
void TFrmOvMain::PaintToolBarEdge() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    if (CptTbrToolBar) {
        RECT rc;
        ::GetWindowRect(CptTbrToolBar, &rc);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rc), 2);
        ::InflateRect(&rc, Scaled(OV_TOOLBAR_EDGE), Scaled(OV_TOOLBAR_EDGE));
        ::DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT);
    }
    ::EndPaint(Handle(), &ps);
}

void TFrmOvMain::OnMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = Scaled(OV_MIN_TRACK);
    info->ptMinTrackSize.y = Scaled(OV_MIN_TRACK);
}

// Moved onto a monitor of another scale: the window takes the size the system suggests (unless
// PlaceAt is moving it), and everything in it is laid out again; the rows, the selection and
// the scroll position stay.
void TFrmOvMain::OnDpiChanged(int dpi, const RECT& suggested) {
    const int previous = Dpi;
    const int columns = Header_GetItemCount(ListView_GetHeader(CptLvwItems));
    ScaleApply(dpi);
    for (int i = 0; i < columns; ++i)
        ColumnWidthSet(CptLvwItems, i, ::MulDiv(ColumnWidth(CptLvwItems, i), dpi, previous));
    StatusRepaint();
    if (!placing_)
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                       suggested.right - suggested.left, suggested.bottom - suggested.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

// Bounds saved on a monitor of another scale are that monitor's pixels already: the scale
// change the move brings must not resize them again.
void TFrmOvMain::PlaceAt(const RECT& bounds) {
    placing_ = true;
    ::SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                   bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
    placing_ = false;
}
