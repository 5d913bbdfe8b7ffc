// The shell's own context menu for files of one folder, hosted in a menu of the program's: built,
// its owner-drawn entries and submenus served while it is open, a chosen entry carried out.
#pragma once

#include "uCmnHandle.h"

#include <windows.h>
#include <shobjidl.h>

#include <functional>
#include <string>
#include <vector>

class TShellMenu {
  public:
    TShellMenu() = default;
    ~TShellMenu();
    TShellMenu(const TShellMenu&) = delete;
    TShellMenu& operator=(const TShellMenu&) = delete;

    // Fills `menu`, a popup of the caller's, with the shell's entries for `paths` (present files
    // or folders of one folder), numbered from firstId to lastId; `extended` adds the verbs the
    // shell shows with Shift held. The verbs that would change or move the files themselves
    // (delete, cut, rename, link) are left out. False when the shell gives no menu for them. From a
    // successful build until the object goes, Forward serves the menu's messages.
    bool Build(HWND owner, const std::vector<std::wstring>& paths, HMENU menu, UINT firstId,
               UINT lastId, bool extended);
    // The same, put off until `menu` first opens (its WM_INITMENUPOPUP, handed over by Forward):
    // the shell is asked for nothing while the submenu stays shut. `paths` is called then; where
    // the shell gives no menu, `menu` shows `none`, greyed. Forward serves the object from here on.
    void BuildOnOpen(HWND owner, std::function<std::vector<std::wstring>()> paths, HMENU menu,
                     UINT firstId, UINT lastId, bool extended, std::wstring none);
    // True when `id` is one of the built entries.
    bool Owns(UINT id) const noexcept { return menu_ && id >= first_ && id <= last_; }
    // The canonical verb of an entry ("open", "properties"); empty when the shell names none.
    std::wstring Verb(UINT id) const;
    // Carries out the entry `id`, chosen at `point` (screen coordinates).
    bool Invoke(UINT id, POINT point) const;
    // Carries out a verb by its canonical name, an entry of the menu or not ("properties").
    bool Invoke(const char* verb, POINT point) const;

    // Hands a menu message the owner window received (WM_INITMENUPOPUP, WM_DRAWITEM and
    // WM_MEASUREITEM of menus, WM_MENUCHAR) to the shell menu built last, while it lives; true
    // with its answer in `result` when the shell took it.
    static bool Forward(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  private:
    void LeaveOutChangingVerbs(HMENU menu) const;
    bool InvokeVerb(LPCSTR verb, LPCWSTR wideVerb, POINT point) const;
    void Register();
    // Builds the put-off menu if `menu` is it; true when it was.
    bool OnOpen(HMENU menu);

    struct TPutOff {
        std::function<std::vector<std::wstring>()> paths;
        HMENU menu = nullptr;
        UINT first = 0, last = 0;
        bool extended = false;
        std::wstring none;
    };
    TPutOff putOff_;

    TComPtr<IContextMenu> menu_;
    TComPtr<IContextMenu2> menu2_;
    TComPtr<IContextMenu3> menu3_;
    HWND owner_ = nullptr;
    UINT first_ = 0;
    UINT last_ = 0;
    TShellMenu* previous_ = nullptr;
    bool open_ = false;
};
