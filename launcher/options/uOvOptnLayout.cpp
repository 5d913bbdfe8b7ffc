// The options dialog's controls and their layout.
#include "uOvOptnLayout.h"

#include "uCmnDpi.h"
#include "uCmnHandle.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvOptn.h"
#include "uOvOptnDef.h"
#include "uOvScale.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

// Left, top, width, height.
RECT Bounds(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

// The panel only groups its controls: what they report goes on to the dialog.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void PanelClassRegister() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(instance, kPanelClass, &wc))
        return;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kPanelClass;
    ::RegisterClassExW(&wc);
}

// A window's display context with the window's font selected, released on every path.
class TWindowDC {
  public:
    explicit TWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        if (dc_ && font)
            previous_ = ::SelectObject(dc_, font);
    }
    ~TWindowDC() {
        if (previous_)
            ::SelectObject(dc_, previous_);
        if (dc_)
            ::ReleaseDC(hwnd_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const noexcept { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

} // namespace

void LabelWidenLeft(HWND label) {
    const int length = ::GetWindowTextLengthW(label);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(label, text.data(), length + 1);
    SIZE extent{};
    {
        TWindowDC dc(label);
        if (!dc.Get())
            return;
        ::GetTextExtentPoint32W(dc.Get(), text.c_str(), length, &extent);
    }

    RECT rc{};
    ::GetWindowRect(label, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(label), reinterpret_cast<POINT*>(&rc), 2);
    if (extent.cx <= rc.right - rc.left)
        return;
    const LONG left = std::max<LONG>(0, rc.right - extent.cx);
    ::SetWindowPos(label, nullptr, left, rc.top, rc.right - left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------------------------
// Controls

int TFrmOvOptn::Scaled(int value96) const {
    return DpiScale(value96, dpi_);
}

HWND TFrmOvOptn::CreateControl(HWND parent, const wchar_t* className, DWORD style, int id,
                               const RECT& bounds, DWORD exStyle) {
    HWND control =
        ::CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          ::GetModuleHandleW(nullptr), nullptr);
    placed_.push_back(TPlaced{control, bounds});
    return control;
}

void TFrmOvOptn::CreateControls() {
    SetCaption(OV_CAP_OPTN_TITLE);
    PanelClassRegister();

    // Creation order is the tab order, and a control created earlier lies above a later one:
    // the texts above the logo, the hot-key box above its frame. Bounds are those of the
    // 96-DPI layout; ScaleApply places them at the dialog's scale.
    const HWND self = Handle();
    CptCmbToolBar = CreateControl(self, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                                  IDC_CMB_TOOLBAR, Bounds(148, 230, 90, kComboListHeight));
    CptCbxSignIn = CreateControl(self, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, IDC_CBX_SIGNIN,
                                 Bounds(25, 258, 333, 17));
    CptLblSignInNote = CreateControl(self, WC_STATICW, SS_LEFT | SS_NOPREFIX, IDC_LBL_SIGNINNOTE,
                                     Bounds(42, 277, 345, 12));
    CptCbxTrayIcon = CreateControl(self, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, IDC_CBX_TRAYICON,
                                   Bounds(25, 293, 333, 17));
    CptCbxHookSearch = CreateControl(self, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP,
                                     IDC_CBX_HOOKSEARCH, Bounds(25, 312, 333, 17));
    CptBtnExport = CreateControl(self, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_BTN_EXPORT,
                                 Bounds(7, kButtonTop, 88, 22));
    CptBtnImport = CreateControl(self, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_BTN_IMPORT,
                                 Bounds(101, kButtonTop, 88, 22));
    CptBtnSet = CreateControl(self, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_BTN_SET,
                              Bounds(199, kButtonTop, 88, 22));
    CptBtnCancel = CreateControl(self, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_BTN_CANCEL,
                                 Bounds(297, kButtonTop, 88, 22));
    // The panel paints under its controls: the hot-key frame draws only its edge.
    CptPnlHook = CreateControl(self, kPanelClass, 0, IDC_PNL_HOOK, Bounds(0, 92, kClientWidth, 130),
                               WS_EX_CONTROLPARENT);
    CptCmbShortCutKey =
        CreateControl(CptPnlHook, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                      IDC_CMB_SHORTCUTKEY, Bounds(137, 31, 90, kComboListHeight));
    CptCbxHook = CreateControl(CptPnlHook, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, IDC_CBX_HOOK,
                               Bounds(25, 5, 138, 17));
    CptCbxMoveMouse = CreateControl(CptPnlHook, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP,
                                    IDC_CBX_MOVEMOUSE, Bounds(42, 92, 243, 17));
    CptCbxHideTaskbar = CreateControl(CptPnlHook, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP,
                                      IDC_CBX_HIDETASKBAR, Bounds(42, 64, 333, 17));
    CptLblShortCutKey = CreateControl(CptPnlHook, WC_STATICW, SS_LEFT | SS_NOPREFIX,
                                      IDC_LBL_SHORTCUTKEY, Bounds(42, 35, 90, 12));
    CptBvlHook = CreateControl(CptPnlHook, WC_STATICW, SS_ETCHEDFRAME, IDC_BVL_HOOK,
                               Bounds(10, 13, 373, 108));
    CptLblToolBar = CreateControl(self, WC_STATICW, SS_LEFT | SS_NOPREFIX, IDC_LBL_TOOLBAR,
                                  Bounds(25, 234, 118, 12));
    CptLblVerAndCopyright = CreateControl(self, WC_STATICW, SS_RIGHT | SS_NOPREFIX, IDC_LBL_VER,
                                          Bounds(168, 52, 220, 12));
    CptLblURL = CreateControl(self, WC_STATICW, SS_RIGHT | SS_NOPREFIX | SS_NOTIFY, IDC_LBL_URL,
                              Bounds(69, 72, 318, 12));
    CptImgIcon = CreateControl(self, WC_STATICW, SS_ICON, IDC_IMG_ICON, Bounds(352, 12, 32, 32));
    CptImgLogo =
        CreateControl(self, WC_STATICW, SS_BITMAP, IDC_IMG_LOGO, Bounds(0, 0, kClientWidth, 90));
    CptBvlLine = CreateControl(self, WC_STATICW, SS_ETCHEDHORZ, IDC_BVL_LINE,
                               Bounds(0, 90, kClientWidth, 2));
    ScaleApply(dpi_);
}

void TFrmOvOptn::ScaleApply(int dpi) {
    dpi_ = dpi;
    // The client area is fixed; whatever frame the system draws goes around it.
    RECT client{};
    RECT outer{};
    ::GetClientRect(Handle(), &client);
    ::GetWindowRect(Handle(), &outer);
    ::SetWindowPos(Handle(), nullptr, 0, 0,
                   outer.right - outer.left + Scaled(kClientWidth) - client.right,
                   outer.bottom - outer.top + Scaled(kClientHeight) - client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The controls take the new fonts, logo and icon before the old ones go.
    TUniqueGdi font(InterfaceFontCreate(dpi));
    TUniqueGdi linkFont(InterfaceFontCreate(dpi, true));
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    for (const TPlaced& p : placed_) {
        HGDIOBJ use = p.control == CptLblURL ? linkFont.Get() : font.Get();
        ::SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(use), TRUE);
        ::SetWindowPos(p.control, nullptr, Scaled(p.bounds.left), Scaled(p.bounds.top),
                       Scaled(p.bounds.right) - Scaled(p.bounds.left),
                       Scaled(p.bounds.bottom) - Scaled(p.bounds.top),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    font_ = std::move(font);
    linkFont_ = std::move(linkFont);

    TUniqueGdi logo(LogoLoad(Scaled(400), Scaled(90)));
    ::SendMessageW(CptImgLogo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo.Get()));
    logo_ = std::move(logo);
    // The image control takes the bitmap's size; the logo is wider than the dialog and is cut
    // at the dialog's right edge.
    ::SetWindowPos(CptImgLogo, nullptr, 0, 0, Scaled(kClientWidth), Scaled(90),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Owned, not shared: a shared icon is meant for the system's standard sizes, and one of
    // another size loaded earlier may come back in place of the size asked for.
    TUniqueIcon icon(
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                        IMAGE_ICON, Scaled(32), Scaled(32), 0)));
    ::SendMessageW(CptImgIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    icon_ = std::move(icon);

    // A drop-down list's closed height follows its font and its selection field's height:
    // step that height until the closed list has the layout's height. (Wine reports the field
    // two pixels taller than it was set, so the value is kept here rather than read back.)
    for (HWND combo : {CptCmbToolBar, CptCmbShortCutKey}) {
        LRESULT field = ::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int tries = 0; tries < 3 && field != CB_ERR; ++tries) {
            RECT rc{};
            ::GetWindowRect(combo, &rc);
            const LONG fix = Scaled(kComboHeight) - (rc.bottom - rc.top);
            if (fix == 0 || field + fix <= 0)
                break;
            field += fix;
            ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        }
    }
    // An etched line widens itself by its edge on Wine: back to the layout's width.
    ::SetWindowPos(CptBvlLine, nullptr, 0, 0, Scaled(kClientWidth), Scaled(2),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND label : {CptLblVerAndCopyright, CptLblURL})
        LabelWidenLeft(label);
}
