// The main window's notifications and commands: the toolbar's, the list's and the status bar's
// notices, and every command of the buttons, menus and keys, each handed to the handler or unit
// that carries it out.
#include "uOvMain.h"

#include "uCmnApp.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvPageCmd.h"

#include <commctrl.h>

LRESULT TFrmOvMain::OnNotify(NMHDR* header) {
    if (header->hwndFrom == CptTbrToolBar) {
        switch (header->code) {
        case TBN_DROPDOWN:
            if (reinterpret_cast<NMTOOLBARW*>(header)->iItem == IDC_TBN_VIEWSTYLE) {
                ViewMenuDropDown();
                return TBDDRET_DEFAULT;
            }
            if (reinterpret_cast<NMTOOLBARW*>(header)->iItem == IDC_TBN_NEXT) {
                PageListDropDown();
                return TBDDRET_DEFAULT;
            }
            break;
        case TBN_GETINFOTIPW: {
            auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(header);
            int index = tip->iItem - IDC_TBN_BEFORE;
            if (index >= 0 && index < OV_TOOLBAR_BUTTONS && tip->pszText && tip->cchTextMax > 0)
                ::lstrcpynW(tip->pszText, CptTbnHints[index].c_str(), tip->cchTextMax);
            return 0;
        }
        }
    }
    // A click on the page panel opens the page list there, as the toolbar's arrow does.
    if (header->hwndFrom == CptSbrStatus && header->code == NM_CLICK &&
        reinterpret_cast<NMMOUSE*>(header)->dwItemSpec == 0) {
        POINT at = reinterpret_cast<NMMOUSE*>(header)->pt;
        ::ClientToScreen(CptSbrStatus, &at);
        pages_.PageListOpen(at);
        return TRUE;
    }
    if (header->hwndFrom == CptLvwItems) {
        switch (header->code) {
        case LVN_COLUMNCLICK:
            CptLvwItemsColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            return 0;
        case NM_DBLCLK:
            CptLvwItemsDblClick();
            return 0;
        case LVN_GETDISPINFOW:
            ListDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
            return 0;
        case LVN_ITEMCHANGED:
            ListItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
            return 0;
        case LVN_ODSTATECHANGED:
            ListRangeChanged(*reinterpret_cast<NMLVODSTATECHANGE*>(header));
            return 0;
        case LVN_ODFINDITEMW: {
            const auto* find = reinterpret_cast<NMLVFINDITEMW*>(header);
            return ListFindItem(find->iStart, find->lvfi);
        }
        case LVN_BEGINDRAG:
        case LVN_BEGINRDRAG:
            ItemDragBegin(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
            return 0;
        case LVN_BEGINLABELEDITW:
            return CptLvwItemsEditing(reinterpret_cast<NMLVDISPINFOW*>(header)->item.iItem) ? FALSE
                                                                                            : TRUE;
        case LVN_ENDLABELEDITW: {
            const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
            return CptLvwItemsEdited(item.pszText) ? TRUE : FALSE;
        }
        }
    }
    return 0;
}

void TFrmOvMain::OnCommand(int id) {
    switch (id) {
    case IDC_TBN_BEFORE:
        CptTbnBeforeClick();
        break;
    case IDC_TBN_NEXT:
        CptTbnNextClick();
        break;
    case IDC_TBN_VIEWSTYLE:
        CptTbnViewStyleClick();
        break;
    case IDC_TBN_INSERT:
        CptTbnInsertClick();
        break;
    case IDC_TBN_DELETE:
        CptTbnDeleteClick();
        break;
    case IDC_TBN_OPTION:
        CptTbnOptionClick();
        break;
    case IDM_PMU_ICON:
    case IDM_PMU_SMALLICON:
    case IDM_PMU_LIST:
    case IDM_PMU_REPORT:
        CptPmuViewStyleClick(id - IDM_PMU_ICON);
        break;
    case IDM_PMU_BTNUPDATE:
        // The user's "look again" (F5, the menu's entry): during a search the index reads the store
        // again too, so what another program wrote is found and results whose files are gone drop
        // out. The refreshes the commands run themselves keep the index as it follows the store.
        if (search_.IsOpen())
            search_.IndexReread();
        CptPmuItemBtnUpdateClick();
        break;
    case IDM_PMU_INSERT:
        CptTbnInsertClick();
        break;
    case IDM_KEY_OPEN:
        CptLvwItemsDblClick();
        break;
    case IDM_KEY_RENAME:
        commands_.RenameEditorOpen();
        break;
    case IDM_KEY_SELECTALL:
        ItemsSelectAll();
        break;
    case IDM_KEY_DELETE:
        commands_.SelectedDelete();
        break;
    case IDM_KEY_MINIMIZE:
        // Escape drops a mark of rows to be moved first, then leaves a search; then, as the
        // minimise button does, the taskbar setting included.
        if (dragging_)
            ItemDragEnd({}, false);
        else if (!pages_.MarkDrop() && !search_.Leave())
            ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case IDM_KEY_FIND:
        search_.Show();
        break;
    case IDM_SEARCH_OPENFIRST:
        if (const std::optional<TListRow> first = search_.FirstResult())
            commands_.ItemsOpen({*first});
        break;
    case IDM_SEARCH_TOLIST:
        ItemListFocus(true);
        break;
    case IDM_SEARCH_SELECTALL:
        ::SendMessageW(search_.Field(), EM_SETSEL, 0, -1);
        break;
    case IDM_KEY_PAGELAST:
        pages_.PageGo(PageTotal);
        break;
    case IDM_KEY_PAGELIST:
        // A menu opened while Alt is held would meet its release, which ends a menu under Wine:
        // it opens once Alt is up (KeyTranslate).
        if (::GetKeyState(VK_MENU) < 0)
            pageListOnAltUp_ = true;
        else
            PageListDropDown();
        break;
    case IDM_PAGELIST_OPEN:
        PageListDropDown();
        break;
    case IDM_KEY_CUT:
        pages_.SelectedMark();
        break;
    case IDM_KEY_PASTE:
        pages_.MarkedMoveHere();
        break;
    default:
        if (id >= IDM_KEY_PAGE1 && id < IDM_KEY_PAGE1 + 8)
            pages_.PageGo(id - IDM_KEY_PAGE1 + 1);
        else
            pages_.Command(static_cast<UINT>(id));
        break;
    }
}

LRESULT TFrmOvMain::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
    case SC_MINIMIZE:
        Application.Minimize();
        return 0;
    case SC_RESTORE:
        if (Application.Minimized() || !::IsWindowVisible(Handle())) {
            Application.Restore();
            return 0;
        }
        break;
    }
    return DefaultHandler(WM_SYSCOMMAND, wParam, lParam);
}
