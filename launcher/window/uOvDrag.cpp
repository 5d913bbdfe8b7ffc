// Rows dragged inside the window: onto the previous or next page button they move to that page;
// held over one of them a moment, the page it leads to is shown, so that the rows can be dropped
// on any page's list. The handlers are TFrmOvMain's (uOvMain declares them); this unit holds
// them.
#include "uOvMain.h"

#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvPageCmd.h"

#include <commctrl.h>

namespace {

// How long the rows are held over a page button before its page shows.
inline constexpr UINT DragHoverMs = 700;

} // namespace

void TFrmOvMain::ItemDragBegin(int item) {
    // The list tells of a drag late under load, the button sometimes released already: such a
    // drag would hold the mouse (and the first Escape) with nothing to drop.
    if (::GetKeyState(VK_LBUTTON) >= 0 && ::GetKeyState(VK_RBUTTON) >= 0)
        return;
    dragRows_ = ListSelectedRows();
    // The list selects the row it picks up; a row not selected (yet) is dragged alone.
    if (dragRows_.empty() && item >= 0)
        dragRows_.push_back(ListRowOf(item));
    dragging_ = true;
    dragHover_ = 0;
    ::SetCapture(Handle());
    // The rows' picture follows the pointer, as the list draws it.
    POINT origin{};
    dragImage_.Reset(ListView_CreateDragImage(CptLvwItems, item, &origin));
    if (dragImage_) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ImageList_BeginDrag(dragImage_.Get(), 0, 8, 8);
        ::ImageList_DragEnter(nullptr, cursor.x, cursor.y);
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_NO));
}

int32_t TFrmOvMain::ItemDragTarget(POINT client, int& button) const {
    button = 0;
    POINT at = client;
    ::MapWindowPoints(Handle(), CptTbrToolBar, &at, 1);
    const auto index = static_cast<int>(
        ::SendMessageW(CptTbrToolBar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
    if (index >= 0) {
        TBBUTTON tb{};
        ::SendMessageW(CptTbrToolBar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&tb));
        button = tb.idCommand;
        if (button == IDC_TBN_BEFORE)
            return CurrentPage > 1 ? CurrentPage - 1 : -1;
        // Past the last page, the next button makes a new one for the rows.
        if (button == IDC_TBN_NEXT)
            return CurrentPage < PageTotal ? CurrentPage + 1 : 0;
        return -1;
    }
    // Onto the list of another page than the rows': that page. Results are no page.
    RECT list{};
    ::GetWindowRect(CptLvwItems, &list);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&list), 2);
    if (::PtInRect(&list, client) && !search_.ResultsShown()) {
        for (const TListRow& row : dragRows_)
            if (row.Page() != CurrentPage)
                return CurrentPage;
    }
    return -1;
}

void TFrmOvMain::ItemDragMove(POINT client, bool buttonDown) {
    if (!dragging_)
        return;
    // The button went up where the window did not see it: the drag is given up.
    if (!buttonDown) {
        ItemDragEnd({}, false);
        return;
    }
    POINT screen = client;
    ::ClientToScreen(Handle(), &screen);
    if (dragImage_)
        ::ImageList_DragMove(screen.x, screen.y);
    int button = 0;
    const int32_t target = ItemDragTarget(client, button);
    ::SetCursor(::LoadCursorW(nullptr, target >= 0 ? IDC_SIZEALL : IDC_NO));
    // Held over a page button: its page shows once the pointer has rested there a moment.
    const bool stepper = button == IDC_TBN_BEFORE || button == IDC_TBN_NEXT;
    if (stepper && button != dragHover_)
        ::SetTimer(Handle(), OV_TIMER_DRAGHOVER, DragHoverMs, nullptr);
    else if (!stepper)
        ::KillTimer(Handle(), OV_TIMER_DRAGHOVER);
    dragHover_ = stepper ? button : 0;
}

void TFrmOvMain::ItemDragHover() {
    ::KillTimer(Handle(), OV_TIMER_DRAGHOVER);
    if (!dragging_ || !dragHover_)
        return;
    // Only to a page there is: resting on the next button of the last page makes none.
    const int32_t page = dragHover_ == IDC_TBN_BEFORE ? CurrentPage - 1 : CurrentPage + 1;
    if (page < 1 || page > PageTotal)
        return;
    if (dragImage_)
        ::ImageList_DragShowNolock(FALSE);
    pages_.PageGo(page);
    ::UpdateWindow(Handle());
    if (dragImage_)
        ::ImageList_DragShowNolock(TRUE);
    dragHover_ = 0;
}

void TFrmOvMain::ItemDragEnd(POINT client, bool drop) {
    if (!dragging_)
        return;
    int button = 0;
    const int32_t target = drop ? ItemDragTarget(client, button) : -1;
    dragging_ = false;
    ::KillTimer(Handle(), OV_TIMER_DRAGHOVER);
    if (dragImage_) {
        ::ImageList_DragLeave(nullptr);
        ::ImageList_EndDrag();
        dragImage_.Reset();
    }
    if (::GetCapture() == Handle())
        ::ReleaseCapture();
    const std::vector<TListRow> rows = std::move(dragRows_);
    dragRows_.clear();
    if (target >= 0)
        pages_.ItemsMoveTo(rows, target);
}
