// The options dialog FrmOvOptn.
#include "uOvOptn.h"

#include "uOvBackupCmd.h"
#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uCmnReg.h"
#include "uCmnShell.h"
#include "uCmnStr.h"
#include "uOvCap.h"
#include "uOvCapDef.h"
#include "uOvOptnDef.h"
#include "uOvOptnLayout.h"
#include "uOvDll.h"
#include "uOvFrm.h"
#include "uOvFrmDef.h"
#include "uOvRegDef.h"
#include "uOvScale.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

TFrmOvOptn* FrmOvOptn = nullptr;

namespace {

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

} // namespace

void CheckBoxSet(HWND box, bool ticked) {
    ::SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBoxTicked(HWND box) {
    return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TFrmOvOptn::TFrmOvOptn(TOptionsOwner owner) : owner_(std::move(owner)) {
    FrmOvOptn = this;
}

TFrmOvOptn::~TFrmOvOptn() {
    DestroyHandle();
    if (FrmOvOptn == this)
        FrmOvOptn = nullptr;
}

void TFrmOvOptn::ShowModal() {
    HWND owner = owner_.window ? owner_.window : Application.Handle();
    // Laid out for the scale of the window it opens over.
    dpi_ = owner_.window ? owner_.dpi : SystemDpi();
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
// Window-level events

void TFrmOvOptn::FormCreate() {
    // Each step on its own, like the main window's creation: an error in a hand-edited tree is
    // shown and the dialog still opens, so it can always be cancelled.
    RunStep([&] { OptionDialogPlace(Handle(), owner_.window); });
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
    if (owner_.toolBarEdge)
        owner_.toolBarEdge(toolBarPos);
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
    RegBoolWrite(hkcu, OvKeyOption, OvValTrayIcon, CheckBoxTicked(CptCbxTrayIcon));
    RegBoolWrite(hkcu, OvKeyOption, OvValHookSearch, CheckBoxTicked(CptCbxHookSearch));
    TaskbarButtonSet(CheckBoxTicked(CptCbxHideTaskbar));
    // Only a change the user made: a value of another copy left unticked stays as it is. Last,
    // so that a refusal (its box names the value) leaves the dialog open with the rest written.
    const bool signIn = CheckBoxTicked(CptCbxSignIn);
    if (signIn != (SignInShown == TSignInState::ThisCopy))
        SignInSet(signIn, ProgramPath());
    Close();
}

void TFrmOvOptn::CptBtnCancelClick() {
    Close();
}

void TFrmOvOptn::CptBtnExportClick() {
    BackupExportRun(Handle());
}

void TFrmOvOptn::CptBtnImportClick() {
    TImportDone done = TImportDone::None;
    try {
        done = BackupImportRun(Handle());
    } catch (...) {
        // Failed part-way, and put back as far as the store allowed: the window shows what the
        // store holds now (its rows' pages are ended), then the error is told.
        if (owner_.treeChanged)
            owner_.treeChanged(false);
        throw;
    }
    if (done == TImportDone::None)
        return;
    // What the dialog shows may be the old tree's: it closes without writing it.
    if (owner_.treeChanged)
        owner_.treeChanged(done == TImportDone::Replaced);
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
    case IDC_BTN_EXPORT:
        if (code == BN_CLICKED)
            CptBtnExportClick();
        break;
    case IDC_BTN_IMPORT:
        if (code == BN_CLICKED)
            CptBtnImportClick();
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
