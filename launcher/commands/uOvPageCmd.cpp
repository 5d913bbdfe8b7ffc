// The page commands: the page list, naming, moving, adding and deleting pages, and items moved
// between pages.
#include "uOvPageCmd.h"

#include "uCmnError.h"
#include "uCmnHandle.h"
#include "uCmnWnd.h"
#include "uOvCapDef.h"
#include "uOvInput.h"
#include "uOvMsg.h"
#include "uOvMsgDef.h"
#include "uOvPages.h"
#include "uOvReg.h"

#include <commctrl.h>

#include <algorithm>
#include <set>

namespace {

std::wstring Ampersands(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        out += c;
        if (c == L'&')
            out += L'&';
    }
    return out;
}

// A folder shown in a menu line: its last 40 characters at most, "…" before them.
std::wstring FolderShort(const std::wstring& folder) {
    constexpr size_t most = 40;
    return folder.size() <= most ? folder : L"…" + folder.substr(folder.size() - most + 1);
}

// Appends a line per page, `first` plus the number less one as its command; `enabled` decides
// which can be chosen, `checked` which one is checked.
template <typename TEnabled>
void PageLinesAppend(HMENU menu, int32_t pageTotal, UINT first, int32_t checked, TEnabled enabled) {
    for (int32_t page = 1; page <= std::min(pageTotal, OV_PAGE_MENU_MAX); ++page) {
        const std::wstring folder = PageFolderRead(page);
        const std::wstring text =
            PageMenuText(page, PageNameRead(page), folder, PageItemCount(page));
        UINT flags = MF_STRING | (page == checked ? MF_CHECKED : 0u);
        flags |= enabled(page, !folder.empty()) ? MF_ENABLED : MF_GRAYED;
        ::AppendMenuW(menu, flags, first + static_cast<UINT>(page - 1), text.c_str());
        if (page == checked) {
            // The page shown is marked as a radio choice is.
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_STRING | MFT_RADIOCHECK;
            ::SetMenuItemInfoW(menu, first + static_cast<UINT>(page - 1), FALSE, &info);
        }
    }
}

// True when none of the rows is on a folder page, whose items never leave it; otherwise its box
// tells so. Each page is read once, however many of its rows there are.
bool RowsMovable(const std::vector<TListRow>& rows) {
    std::set<int32_t> sources;
    for (const TListRow& row : rows)
        sources.insert(row.Page());
    for (int32_t page : sources) {
        if (!PageFolderRead(page).empty()) {
            ErrorMessageBox(OV_MSG_NOT_MOVABLE);
            return false;
        }
    }
    return true;
}

} // namespace

std::wstring PageMenuText(int32_t page, const std::wstring& name, const std::wstring& folder,
                          int32_t items) {
    std::wstring text = (page <= 9 ? L"&" : L"") + std::to_wstring(page);
    if (!name.empty())
        text += L"  " + Ampersands(name);
    if (!folder.empty())
        text += L"  [" + Ampersands(FolderShort(folder)) + L"]";
    return text + L"\t" + std::to_wstring(items);
}

HMENU TPageCommands::PageListMenuMake() const {
    TUniqueMenu menu(::CreatePopupMenu());
    const int32_t shown = search_.ResultsShown() ? 0 : state_.currentPage;
    PageLinesAppend(menu.Get(), state_.pageTotal, IDM_PAGE_SHOW_FIRST, shown,
                    [](int32_t, bool) { return true; });
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, IDM_PAGE_NEW, OV_CAP_PAGE_MENU[0]);
    const UINT onPage = shown ? MF_ENABLED : MF_GRAYED;
    ::AppendMenuW(menu.Get(), MF_STRING | onPage, IDM_PAGE_NAME, OV_CAP_PAGE_MENU[1]);
    ::AppendMenuW(menu.Get(), MF_STRING | (shown > 1 ? MF_ENABLED : MF_GRAYED), IDM_PAGE_MOVEBACK,
                  OV_CAP_PAGE_MENU[2]);
    ::AppendMenuW(menu.Get(),
                  MF_STRING | (shown && shown < state_.pageTotal ? MF_ENABLED : MF_GRAYED),
                  IDM_PAGE_MOVEFORWARD, OV_CAP_PAGE_MENU[3]);
    ::AppendMenuW(menu.Get(), MF_STRING | onPage, IDM_PAGE_DELETE, OV_CAP_PAGE_MENU[4]);
    return menu.Release();
}

void TPageCommands::PageListOpen(POINT screen) {
    TUniqueMenu menu(PageListMenuMake());
    const UINT chosen = ::TrackPopupMenuEx(
        menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x,
        screen.y, host_.Window(), nullptr);
    if (chosen)
        Command(chosen);
}

bool TPageCommands::Command(UINT id) {
    if (id >= IDM_PAGE_SHOW_FIRST && id < IDM_PAGE_SHOW_FIRST + OV_PAGE_MENU_MAX) {
        PageGo(static_cast<int32_t>(id - IDM_PAGE_SHOW_FIRST) + 1);
    } else if (id >= IDM_PAGE_MOVETO_FIRST && id < IDM_PAGE_MOVETO_FIRST + OV_PAGE_MENU_MAX) {
        ItemsMoveTo(ListSelectedRows(), static_cast<int32_t>(id - IDM_PAGE_MOVETO_FIRST) + 1);
    } else if (id == IDM_PAGE_MOVETO_NEW) {
        ItemsMoveTo(ListSelectedRows(), 0);
    } else if (id == IDM_PAGE_NEW) {
        PageAppend();
    } else if (id == IDM_PAGE_NAME) {
        PageNameAsk();
    } else if (id == IDM_PAGE_MOVEBACK || id == IDM_PAGE_MOVEFORWARD) {
        PageMoveBy(id == IDM_PAGE_MOVEBACK ? -1 : 1);
    } else if (id == IDM_PAGE_DELETE) {
        if (!search_.ResultsShown())
            items_.PageShownDelete();
    } else {
        return false;
    }
    return true;
}

void TPageCommands::PageGo(int32_t page) {
    page = std::clamp(page, 1, std::max(state_.pageTotal, 1));
    search_.Leave(page == state_.currentPage);
    if (page == state_.currentPage && !search_.ResultsShown())
        return;
    state_.currentPage = page;
    host_.PageShowAgain();
}

void TPageCommands::PageAppend() {
    search_.Leave(false);
    PageCreate(state_.pageTotal + 1, L"");
    state_.pageTotal = state_.pageTotal + 1;
    state_.currentPage = state_.pageTotal;
    host_.PageShowAgain();
}

void TPageCommands::PageNameAsk() {
    if (search_.ResultsShown())
        return;
    const int32_t page = state_.currentPage;
    TTextAsk ask;
    ask.title = OV_CAP_PAGE_NAME_TITLE;
    ask.prompt = FormatMessageText(OV_CAP_PAGE_NAME_PROMPT, page);
    ask.text = PageNameRead(page);
    ask.limit = OvPageNameMax;
    ask.accept = [&](const std::wstring& text) {
        std::wstring stored;
        switch (PageNameSet(page, state_.pageTotal, text, stored)) {
        case TPageNameResult::TooLong:
            ErrorMessageBox(
                FormatMessageText(OV_MSG_PAGE_NAME_TOO_LONG, static_cast<int>(OvPageNameMax)));
            return false;
        case TPageNameResult::Taken:
            ErrorMessageBox(FormatMessageText(OV_MSG_PAGE_NAME_TAKEN, stored));
            return false;
        default:
            return true;
        }
    };
    if (TextAskRun(host_.Window(), ask))
        host_.StatusRepaint();
}

void TPageCommands::PageMoveBy(int delta) {
    if (search_.ResultsShown())
        return;
    const int32_t page = state_.currentPage, other = page + delta;
    if (other < 1 || other > state_.pageTotal)
        return;
    try {
        PageSwap(std::min(page, other), state_.pageTotal);
    } catch (...) {
        // Repaired as far as the store allows: what it holds now is shown.
        state_.pageTotal = PageCount();
        state_.currentPage = std::clamp(state_.currentPage, 1, std::max(state_.pageTotal, 1));
        host_.PageShowAgain();
        throw;
    }
    state_.currentPage = other;
    host_.StatusRepaint();
}

HMENU TPageCommands::MoveMenuMake(const std::set<int32_t>& sources) const {
    // The one page all rows are on cannot be their target.
    const int32_t only = sources.size() == 1 ? *sources.begin() : 0;
    TUniqueMenu menu(::CreatePopupMenu());
    PageLinesAppend(menu.Get(), state_.pageTotal, IDM_PAGE_MOVETO_FIRST, 0,
                    [&](int32_t page, bool folder) { return page != only && !folder; });
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, IDM_PAGE_MOVETO_NEW, OV_CAP_PAGE_MENU[0]);
    return menu.Release();
}

void TPageCommands::ItemsMoveTo(const std::vector<TListRow>& rows, int32_t target) {
    if (rows.empty() || target < 0 || target > state_.pageTotal)
        return;
    if (!RowsMovable(rows))
        return;
    if (target > 0 && !PageFolderRead(target).empty()) {
        ErrorMessageBox(OV_MSG_NOT_MOVABLE_ONTO);
        return;
    }
    if (target == 0) {
        PageCreate(state_.pageTotal + 1, L"");
        state_.pageTotal = state_.pageTotal + 1;
        target = state_.pageTotal;
    }
    {
        THourglass hourglass;
        // Each from the page it is on now; a row whose page went meanwhile moves nothing.
        for (const TListRow& row : rows)
            if (const int32_t from = row.Page(); from > 0 && from != target)
                ItemMove(from, row.name, target);
    }
    // The mark goes with what it marked.
    MarkDrop();
    if (search_.ResultsShown())
        search_.ShowAgain();
    else
        host_.PageShowAgain();
}

void TPageCommands::SelectedMark() {
    std::vector<TListRow> rows = ListSelectedRows();
    // Told now rather than at the paste.
    if (!RowsMovable(rows))
        return;
    marked_ = std::move(rows);
    ListMarkSet(marked_);
}

void TPageCommands::MarkedMoveHere() {
    // Results stand for no page to move onto.
    if (marked_.empty() || search_.ResultsShown())
        return;
    const std::vector<TListRow> rows = marked_;
    ItemsMoveTo(rows, state_.currentPage);
}

bool TPageCommands::MarkDrop() {
    if (marked_.empty())
        return false;
    marked_.clear();
    ListMarkSet(marked_);
    return true;
}
