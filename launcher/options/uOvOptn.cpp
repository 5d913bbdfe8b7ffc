// The options dialog FrmOvOptn.
#include "uOvOptn.h"

#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uCmnReg.h"
#include "uCmnShell.h"
#include "uCmnStr.h"
#include "uOvCap.h"
#include "uOvCapDef.h"
#include "uOvDll.h"
#include "uOvFrm.h"
#include "uOvFrmDef.h"
#include "uOvMain.h"
#include "uOvRegDef.h"
#include "uOvScale.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

TFrmOvOptn* FrmOvOptn = nullptr;

namespace {

constexpr int kClientWidth = 392;
constexpr int kClientHeight = 297;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr const wchar_t* kPanelClass = L"TPanel";
// Height of a closed drop-down list; the open list below it is taller.
constexpr int kComboHeight = 20;
constexpr int kComboListHeight = 200;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kLogoText = RGB(0, 0, 0);

// None is IDOK (1) or IDCANCEL (2): Enter and Escape send those, and no button answers them.
enum : int {
    IDC_IMG_LOGO = 1001,
    IDC_IMG_ICON,
    IDC_LBL_VER,
    IDC_LBL_URL,
    IDC_BVL_LINE,
    IDC_PNL_HOOK,
    IDC_BVL_HOOK,
    IDC_CBX_HOOK,
    IDC_LBL_SHORTCUTKEY,
    IDC_CMB_SHORTCUTKEY,
    IDC_CBX_HIDETASKBAR,
    IDC_CBX_MOVEMOUSE,
    IDC_LBL_TOOLBAR,
    IDC_CMB_TOOLBAR,
    IDC_BTN_SET,
    IDC_BTN_CANCEL,
};

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

// The owner takes no input while the dialog is open, and takes it again on every way out.
class TOwnerDisable {
  public:
    explicit TOwnerDisable(HWND owner) : owner_(owner) {
        if (owner_ && ::IsWindowEnabled(owner_))
            ::EnableWindow(owner_, FALSE);
        else
            owner_ = nullptr;
    }
    ~TOwnerDisable() { Release(); }
    TOwnerDisable(const TOwnerDisable&) = delete;
    TOwnerDisable& operator=(const TOwnerDisable&) = delete;
    void Release() {
        if (owner_ && ::IsWindow(owner_))
            ::EnableWindow(owner_, TRUE);
        owner_ = nullptr;
    }

  private:
    HWND owner_;
};

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

// A right-aligned label over the logo keeps its right edge and widens to the left when its
// text needs more room than the layout gives it, instead of wrapping out of sight.
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

} // namespace

void CheckBoxSet(HWND box, bool ticked) {
    ::SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBoxTicked(HWND box) {
    return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TFrmOvOptn::TFrmOvOptn() {
    FrmOvOptn = this;
}

TFrmOvOptn::~TFrmOvOptn() {
    DestroyHandle();
    if (FrmOvOptn == this)
        FrmOvOptn = nullptr;
}

void TFrmOvOptn::ShowModal() {
    HWND owner = (FrmOvMain && FrmOvMain->Handle()) ? FrmOvMain->Handle() : Application.Handle();
    // Laid out for the main window's scale, over which it opens.
    dpi_ = (FrmOvMain && FrmOvMain->Handle()) ? FrmOvMain->Dpi : SystemDpi();
    RECT outer{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
    WindowRectForDpi(outer, kStyle, kExStyle, dpi_);
    modalDone_ = false;
    CreateHandle(OV_OPTN_CLASS, kStyle, kExStyle, owner, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top);
    if (!Handle())
        throw std::runtime_error("CreateWindowEx TFrmOvOptn");

    // Every window of the program waits for the dialog: the application window too, whose
    // taskbar button and system menu would act behind it.
    TOwnerDisable ownerDisable(owner);
    TOwnerDisable applicationDisable(owner == Application.Handle() ? nullptr
                                                                   : Application.Handle());
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetFocus(::GetNextDlgTabItem(Handle(), nullptr, FALSE));
    MSG msg;
    while (!modalDone_ && Handle()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the outer loop must see the quit request too.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        HWND dialog = Handle();
        if (!dialog || !::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before the dialog goes, so that it takes the activation back.
    applicationDisable.Release();
    ownerDisable.Release();
    DestroyHandle();
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
    CptBtnSet = CreateControl(self, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_BTN_SET,
                              Bounds(199, 265, 88, 22));
    CptBtnCancel = CreateControl(self, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_BTN_CANCEL,
                                 Bounds(297, 265, 88, 22));
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

// ---------------------------------------------------------------------------------------------
// Window-level events

void TFrmOvOptn::FormCreate() {
    // Each step on its own, like the main window's creation: an error in a hand-edited tree is
    // shown and the dialog still opens, so it can always be cancelled.
    RunStep([&] { OptionDialogPlace(Handle()); });
    RunStep([&] {
        OptionCaptionsSet(*this);
        for (HWND label : {CptLblVerAndCopyright, CptLblURL})
            LabelWidenLeft(label);
    });
    RunStep([&] { OptionValuesLoad(*this); });
    RunStep([&] { HookDllLoad(); });
    RunStep([&] {
        if (!HookDllExists()) {
            const bool was = CheckBoxTicked(CptCbxHook);
            CheckBoxSet(CptCbxHook, false);
            if (was)
                CptCbxHookClick();
            ::EnableWindow(CptCbxHook, FALSE);
        }
    });
    RunStep([&] { OptionHookControlsEnable(*this); });
}

// ---------------------------------------------------------------------------------------------
// Control events

void TFrmOvOptn::CptCbxHookClick() {
    OptionHookControlsEnable(*this);
}

void TFrmOvOptn::CptLblURLClick() {
    const std::wstring url = RegStrRead(HKEY_CURRENT_USER, OvKeySystem, OvValUrl);
    // With no address there is nothing to open; an empty name would open the program's folder.
    if (!url.empty())
        ShellOpen(url, L"");
}

void TFrmOvOptn::CptBtnSetClick() {
    HKEY hkcu = HKEY_CURRENT_USER;
    const int32_t toolBarPos =
        static_cast<int32_t>(::SendMessageW(CptCmbToolBar, CB_GETCURSEL, 0, 0));
    ToolBarPosApply(toolBarPos);
    RegIntWrite(hkcu, OvKeyOption, OvValToolBarPos, toolBarPos);
    RegBoolWrite(hkcu, OvKeyOption, OvValHookKey, CheckBoxTicked(CptCbxHook));
    RegBoolWrite(hkcu, OvKeyOption, OvValHereMouse, CheckBoxTicked(CptCbxMoveMouse));
    RegBoolWrite(hkcu, OvKeyOption, OvValHideTaskbar, CheckBoxTicked(CptCbxHideTaskbar));
    // No key chosen (the stored one is not in the table): the stored code stays as it is. A
    // chosen key without a code, or a code that is no number, is an error that stops here.
    const int key = static_cast<int>(::SendMessageW(CptCmbShortCutKey, CB_GETCURSEL, 0, 0));
    if (key >= 0) {
        const std::vector<std::wstring> codes =
            CommaTextSplit(RegStrRead(hkcu, OvKeyOption, OvValHookKeyNoTbl));
        RegIntWrite(hkcu, OvKeyOption, OvValHookKeyNo, StrToInt(ListAt(codes, key)));
    }
    TaskbarButtonSet(CheckBoxTicked(CptCbxHideTaskbar));
    Close();
}

void TFrmOvOptn::CptBtnCancelClick() {
    Close();
}

// ---------------------------------------------------------------------------------------------
// Messages

void TFrmOvOptn::OnCommand(int id, int code) {
    switch (id) {
    case IDC_CBX_HOOK:
        if (code == BN_CLICKED)
            CptCbxHookClick();
        break;
    case IDC_LBL_URL:
        if (code == STN_CLICKED)
            CptLblURLClick();
        break;
    case IDC_BTN_SET:
        if (code == BN_CLICKED)
            CptBtnSetClick();
        break;
    case IDC_BTN_CANCEL:
        if (code == BN_CLICKED)
            CptBtnCancelClick();
        break;
    }
}

LRESULT TFrmOvOptn::OnCtlColorStatic(HDC dc, HWND control) {
    // The texts and the icon over the logo stand on its white.
    if (control == CptLblVerAndCopyright || control == CptLblURL || control == CptImgIcon ||
        control == CptImgLogo) {
        ::SetTextColor(dc, control == CptLblURL ? kLinkColour : kLogoText);
        ::SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    return DefaultHandler(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

bool TFrmOvOptn::OnSetCursor(HWND control) {
    if (control != CptLblURL || !CptLblURL)
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TFrmOvOptn::OnActivate(bool active) {
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus))
            lastFocus_ = focus;
        return;
    }
    HWND target = lastFocus_;
    if (!target || !::IsWindow(target) || !::IsWindowEnabled(target))
        target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target)
        ::SetFocus(target);
}

// The keyboard's tab steps, as a dialog box takes them.
void TFrmOvOptn::FocusNext(bool previous) {
    HWND focus = ::GetFocus();
    HWND next = ::GetNextDlgTabItem(
        Handle(), (focus && ::IsChild(Handle(), focus)) ? focus : nullptr, previous ? TRUE : FALSE);
    if (next)
        ::SetFocus(next);
}

LRESULT TFrmOvOptn::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        FormCreate();
        return 0;
    case WM_COMMAND:
        if (lParam)
            OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        ScaleApply(HIWORD(wParam));
        ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam)))
            return TRUE;
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam)) {
            ::SetFocus(reinterpret_cast<HWND>(wParam));
        } else {
            FocusNext(wParam != 0);
        }
        return 0;
    case WM_CLOSE:
        // Closing ends the modal loop, which destroys the dialog; the empty message wakes the
        // loop when the close was sent from outside it.
        modalDone_ = true;
        ::PostMessageW(Handle(), WM_NULL, 0, 0);
        return 0;
    }
    return DefaultHandler(msg, wParam, lParam);
}
