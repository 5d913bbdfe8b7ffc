// The program's icon in the notification area.
#include "uOvTray.h"

#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uCmnWnd.h"
#include "uOvCapDef.h"
#include "uOvMain.h"
#include "uCmnReg.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvRegDef.h"

#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <iterator>

bool TrayIconWanted() {
    return OptionFlagRead(OvValTrayIcon);
}

UINT TTrayIcon::TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TTrayIcon::Set(HWND owner, UINT message, bool shown, const std::wstring& tip, int dpi) {
    if (!shown) {
        Remove();
        return;
    }
    if (shown_ && owner == owner_ && message == message_ && tip == tip_ && dpi == dpi_ && added_)
        return;
    const bool modify = added_ && owner == owner_;
    if (added_ && owner != owner_)
        Remove();
    owner_ = owner;
    message_ = message;
    tip_ = tip;
    if (dpi != dpi_ || !icon_) {
        // The small icon drawn for the scale, not the large one shrunk by the taskbar.
        const int size = MetricForDpi(SM_CXSMICON, dpi);
        icon_.Reset(
            static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        dpi_ = dpi;
    }
    shown_ = true;
    added_ = Add(modify);
}

bool TTrayIcon::Add(bool modify) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = message_;
    data.hIcon = icon_.Get();
    const size_t length = std::min(tip_.size(), std::size(data.szTip) - 1);
    std::copy_n(tip_.c_str(), length, data.szTip);
    // A modify that fails (Explorer gone and back unseen) is an add.
    if (modify && ::Shell_NotifyIconW(NIM_MODIFY, &data))
        return true;
    return ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void TTrayIcon::Restore() {
    if (shown_)
        added_ = Add(false);
}

void TTrayIcon::Remove() {
    if (added_) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = owner_;
        data.uID = 1;
        ::Shell_NotifyIconW(NIM_DELETE, &data);
    }
    added_ = false;
    shown_ = false;
}

// ---------------------------------------------------------------------------------------------
// The main window's side: when the icon shows, its clicks and its menu. The handlers are
// TFrmOvMain's (uOvMain declares them); this unit holds them.

void TFrmOvMain::TrayUpdate() {
    // Always there while the taskbar button is off, so that a running program can be found.
    const bool shown = trayWanted_ || taskbarHidden_.value_or(false);
    tray_.Set(Handle(), WM_TRAYICON, shown, Caption(), Dpi);
}

void TFrmOvMain::TrayNotified(UINT mouse) {
    switch (mouse) {
    case WM_LBUTTONUP:
        TrayClick();
        break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        TrayMenuOpen();
        break;
    }
}

void TFrmOvMain::TrayClick() {
    // The click activates the taskbar before it reaches us: a window that lost the activation
    // just now was the one in front.
    const bool shown =
        ::IsWindowVisible(Handle()) && !::IsIconic(Handle()) && !Application.Minimized();
    const bool front =
        ::GetForegroundWindow() == Handle() || (shown && ::GetTickCount() - deactivatedAt_ < 500);
    if (shown && front && !ModalWindowOf(Handle())) {
        ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return;
    }
    CallUp();
}

void TFrmOvMain::CallUp() {
    // A box or the options dialog holds the window disabled: it comes to the front with it, and
    // the keyboard stays theirs.
    HWND modal = ModalWindowOf(Handle());
    WindowBringToFront(Handle(), modal);
    if (!modal)
        KeyboardTake();
}

void TFrmOvMain::TrayMenuOpen() {
    TUniqueMenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, IDM_TRAY_SHOW, OV_CAP_TRAY_MENU[0]);
    ::AppendMenuW(menu.Get(), MF_STRING, IDM_TRAY_OPTIONS, OV_CAP_TRAY_MENU[1]);
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, IDM_TRAY_EXIT, OV_CAP_TRAY_MENU[2]);
    ::SetMenuDefaultItem(menu.Get(), IDM_TRAY_SHOW, FALSE);
    POINT at{};
    ::GetCursorPos(&at);
    // The documented way for a notification icon's menu: the owner in front while it is open,
    // so that a click elsewhere closes it, and a message after it, so that it closes at once.
    ::SetForegroundWindow(Handle());
    const UINT chosen =
        ::TrackPopupMenuEx(menu.Get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_BOTTOMALIGN, at.x,
                           at.y, Handle(), nullptr);
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
    switch (chosen) {
    case IDM_TRAY_SHOW:
        CallUp();
        break;
    case IDM_TRAY_OPTIONS:
        if (!ModalWindowOf(Handle())) {
            WindowBringToFront(Handle(), nullptr);
            CptTbnOptionClick();
        }
        break;
    case IDM_TRAY_EXIT:
        // As the close button: bounds saved, the hook library released. Not under a question
        // or the options dialog, which would end unseen: it comes to the front to be answered.
        if (ModalWindowOf(Handle()))
            CallUp();
        else
            ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
        break;
    }
}
