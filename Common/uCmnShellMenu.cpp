// The shell's own context menu for files of one folder, hosted in a menu of the program's.
#include "uCmnShellMenu.h"
#include "uCmnStr.h"

#include "uCmnCom.h"
#include "uCmnFile.h"

#include <shlobj.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

TShellMenu* g_open = nullptr;

// Verbs that change or move the file on disk: beside the launcher's own entries they would be
// taken for removing an item.
constexpr const wchar_t* ChangingVerbs[] = {L"delete", L"cut", L"rename", L"link"};

bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) &&
           (info.fType & MFT_SEPARATOR);
}

// No separator first, last or after another.
void SeparatorsTidy(HMENU menu) {
    for (int i = ::GetMenuItemCount(menu) - 1; i >= 0; --i) {
        const int count = ::GetMenuItemCount(menu);
        if (IsSeparator(menu, i) &&
            (i == 0 || i == count - 1 || (i + 1 < count && IsSeparator(menu, i + 1))))
            ::DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    }
}

} // namespace

TShellMenu::~TShellMenu() {
    if (open_ && g_open == this)
        g_open = previous_;
}

bool TShellMenu::Build(HWND owner, const std::vector<std::wstring>& paths, HMENU menu, UINT firstId,
                       UINT lastId, bool extended) {
    if (menu_ || paths.empty() || !ComEnsure())
        return false;
    for (const std::wstring& path : paths)
        if (path.empty() || !SameText(PathFolder(path), PathFolder(paths[0])))
            return false;
    TUniquePidl first;
    TComPtr<IShellFolder> folder;
    if (FAILED(::SHParseDisplayName(paths[0].c_str(), nullptr, first.Put(), 0, nullptr)) ||
        FAILED(::SHBindToParent(first.Get(), IID_IShellFolder, folder.PutVoid(), nullptr)))
        return false;
    std::vector<TUniquePidl> children;
    std::vector<LPCITEMIDLIST> ids;
    for (const std::wstring& path : paths) {
        std::wstring name = PathName(path);
        TUniquePidl child;
        if (FAILED(folder->ParseDisplayName(owner, nullptr, name.data(), nullptr, child.Put(),
                                            nullptr)))
            return false;
        ids.push_back(child.Get());
        children.push_back(std::move(child));
    }
    TComPtr<IContextMenu> shell;
    if (FAILED(folder->GetUIObjectOf(owner, static_cast<UINT>(ids.size()), ids.data(),
                                     IID_IContextMenu, nullptr, shell.PutVoid())) ||
        FAILED(shell->QueryContextMenu(menu, 0, firstId, lastId,
                                       CMF_NORMAL | (extended ? CMF_EXTENDEDVERBS : 0))))
        return false;
    menu_ = std::move(shell);
    menu_->QueryInterface(IID_IContextMenu3, menu3_.PutVoid());
    menu_->QueryInterface(IID_IContextMenu2, menu2_.PutVoid());
    owner_ = owner;
    first_ = firstId;
    last_ = lastId;
    LeaveOutChangingVerbs(menu);
    Register();
    return true;
}

void TShellMenu::Register() {
    if (open_)
        return;
    previous_ = std::exchange(g_open, this);
    open_ = true;
}

void TShellMenu::BuildOnOpen(HWND owner, std::function<std::vector<std::wstring>()> paths,
                             HMENU menu, UINT firstId, UINT lastId, bool extended,
                             std::wstring none) {
    putOff_ = {std::move(paths), menu, firstId, lastId, extended, std::move(none)};
    owner_ = owner;
    Register();
}

bool TShellMenu::OnOpen(HMENU menu) {
    if (!putOff_.menu || menu != putOff_.menu)
        return false;
    TPutOff putOff = std::exchange(putOff_, {});
    if (!Build(owner_, putOff.paths(), putOff.menu, putOff.first, putOff.last, putOff.extended))
        ::AppendMenuW(putOff.menu, MF_STRING | MF_GRAYED, 0, putOff.none.c_str());
    return true;
}

void TShellMenu::LeaveOutChangingVerbs(HMENU menu) const {
    for (int i = ::GetMenuItemCount(menu) - 1; i >= 0; --i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (!Owns(id))
            continue;
        const std::wstring verb = Verb(id);
        if (std::any_of(std::begin(ChangingVerbs), std::end(ChangingVerbs),
                        [&](const wchar_t* changing) { return SameText(verb, changing); }))
            ::DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    }
    SeparatorsTidy(menu);
}

std::wstring TShellMenu::Verb(UINT id) const {
    if (!Owns(id))
        return {};
    wchar_t wide[128] = {};
    if (SUCCEEDED(menu_->GetCommandString(id - first_, GCS_VERBW, nullptr,
                                          reinterpret_cast<LPSTR>(wide), std::size(wide))) &&
        wide[0])
        return wide;
    // Some handlers answer only in the narrow form; verbs are plain ASCII.
    char narrow[128] = {};
    if (FAILED(menu_->GetCommandString(id - first_, GCS_VERBA, nullptr, narrow, std::size(narrow))))
        return {};
    return std::wstring(narrow, narrow + ::lstrlenA(narrow));
}

bool TShellMenu::Invoke(UINT id, POINT point) const {
    return Owns(id) &&
           InvokeVerb(MAKEINTRESOURCEA(id - first_), MAKEINTRESOURCEW(id - first_), point);
}

bool TShellMenu::Invoke(const char* verb, POINT point) const {
    const std::wstring wide(verb, verb + ::lstrlenA(verb));
    return menu_ && InvokeVerb(verb, wide.c_str(), point);
}

bool TShellMenu::InvokeVerb(LPCSTR verb, LPCWSTR wideVerb, POINT point) const {
    CMINVOKECOMMANDINFOEX info{};
    info.cbSize = sizeof(info);
    info.fMask = CMIC_MASK_UNICODE | CMIC_MASK_PTINVOKE;
    if (::GetKeyState(VK_SHIFT) < 0)
        info.fMask |= CMIC_MASK_SHIFT_DOWN;
    if (::GetKeyState(VK_CONTROL) < 0)
        info.fMask |= CMIC_MASK_CONTROL_DOWN;
    info.hwnd = owner_;
    info.lpVerb = verb;
    info.lpVerbW = wideVerb;
    info.nShow = SW_SHOWNORMAL;
    info.ptInvoke = point;
    return SUCCEEDED(menu_->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info)));
}

bool TShellMenu::Forward(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    TShellMenu* open = g_open;
    if (!open)
        return false;
    if (msg == WM_INITMENUPOPUP && open->OnOpen(reinterpret_cast<HMENU>(wParam))) {
        result = 0;
        return true;
    }
    switch (msg) {
    case WM_DRAWITEM:
        if (reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
            return false;
        break;
    case WM_MEASUREITEM:
        if (reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
            return false;
        break;
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
        break;
    default:
        return false;
    }
    LRESULT answer = 0;
    if (open->menu3_ && SUCCEEDED(open->menu3_->HandleMenuMsg2(msg, wParam, lParam, &answer))) {
        result = answer;
        return true;
    }
    if (msg != WM_MENUCHAR && open->menu2_ &&
        SUCCEEDED(open->menu2_->HandleMenuMsg(msg, wParam, lParam))) {
        result = msg == WM_INITMENUPOPUP ? 0 : TRUE;
        return true;
    }
    return false;
}
