// The item list's icons.
#include "uOvRowIcon.h"

#include "uCmnApp.h"
#include "uCmnHandle.h"
#include "uOvMsg.h"
#include "uOvRows.h"

#include <algorithm>
#include <exception>
#include <map>
#include <vector>

HICON BlankIcon(int size) {
    static std::map<int, TUniqueIcon> icons;
    TUniqueIcon& icon = icons[size];
    if (!icon) {
        // Each mask row is padded to a whole number of 16-bit words.
        const size_t rowBytes = static_cast<size_t>((size + 15) / 16 * 2);
        std::vector<BYTE> andMask(rowBytes * static_cast<size_t>(size), 0xFF);
        std::vector<BYTE> xorMask(andMask.size(), 0x00);
        icon.Reset(::CreateIcon(::GetModuleHandleW(nullptr), size, size, 1, 1, andMask.data(),
                                xorMask.data()));
    }
    return icon.Get();
}

namespace {

// Appends a pair to both image lists at the same position, a blank standing in for a missing
// half; that position, or the blank's when the lists refuse.
int ImagesAppend(const TIconPair& pair) {
    if (!pair.large && !pair.small)
        return ImageNone;
    const TListState& state = ListState();
    const TIconSizes& sizes = state.icons.Sizes();
    const int large = ::ImageList_ReplaceIcon(
        state.large, -1, pair.large ? pair.large.Get() : BlankIcon(sizes.large));
    const int small = ::ImageList_ReplaceIcon(
        state.small, -1, pair.small ? pair.small.Get() : BlankIcon(sizes.small));
    if (large >= 0 && large == small)
        return small;
    // Out of step: start both afresh rather than let a row show another file's icon.
    ListImagesReset();
    return ImageNone;
}

// The image-list position of the icons of the file at `path`, loading them.
int RowImageLoad(const std::wstring& path) {
    TListState& state = ListState();
    TIconPair own;
    const TIconPair* shared = state.icons.Get(path, own);
    if (!shared)
        return ImagesAppend(own);
    auto found = state.typeImages.find(shared);
    if (found == state.typeImages.end())
        found = state.typeImages.emplace(shared, ImagesAppend(*shared)).first;
    return found->second;
}

// True when some of the row lies in the list's client area (a row under the column headers
// counts: at most one).
bool RowOnScreen(HWND list, int item) {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    RECT client{}, both{};
    return item >= 0 &&
           ::SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds)) &&
           ::GetClientRect(list, &client) && ::IntersectRect(&both, &bounds, &client);
}

} // namespace

void ListImagesReset() {
    TListState& state = ListState();
    ::ImageList_RemoveAll(state.large);
    ::ImageList_RemoveAll(state.small);
    state.typeImages.clear();
    state.iconErrorShown = false;
    // Rows still shown keep no position in the emptied lists.
    for (TRowRecord& row : state.rows)
        row.image = ImageUnknown;
    state.wanted.clear();
}

void ListImagesSet(HIMAGELIST large, HIMAGELIST small, const TIconSizes& sizes) {
    TListState& state = ListState();
    state.large = large;
    state.small = small;
    state.icons.SizesSet(sizes);
    ListImagesReset();
}

HICON ListIconSmall(const std::wstring& path, TIconPair& own) {
    const TIconPair* shared = ListState().icons.Get(path, own);
    return (shared ? shared : &own)->small.Get();
}

int ListRowImage(int item) {
    TRowRecord* row = RowAt(item);
    if (!row)
        return ImageNone;
    if (row->image >= 0)
        return row->image;
    if (row->image == ImageUnknown) {
        row->image = ImageQueued;
        // Asked in a sent message (another program reading the list), the loop would wait on in
        // GetMessage without idle time: a posted message wakes it, once for the whole batch.
        if (ListState().wanted.empty())
            ::PostMessageW(ListState().owner, WM_NULL, 0, 0);
        ListState().wanted.push_back(static_cast<size_t>(row - ListState().rows.data()));
    }
    return ImageNone;
}

bool ListIconsLoad(int budgetMs) {
    TListState& state = ListState();
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(budgetMs, 0));
    bool loaded = false;
    while (!state.wanted.empty() && state.list) {
        // Newest first: the rows painted last are the ones on screen after a scroll.
        const size_t index = state.wanted.back();
        state.wanted.pop_back();
        if (index >= state.rows.size() || state.rows[index].image != ImageQueued)
            continue;
        TRowRecord& row = state.rows[index];
        HWND list = state.list;
        const int item = row.item;
        if (!RowOnScreen(list, item)) {
            // Scrolled away since it was painted; its next paint asks again. Icons just loaded
            // are painted before the rows passed over are worked through.
            row.image = ImageUnknown;
            if (loaded || ::GetTickCount64() >= deadline)
                break;
            continue;
        }
        row.image = ImageNone;
        const unsigned fill = state.fill;
        const std::wstring path = row.Path();
        int image = ImageNone;
        try {
            image = RowImageLoad(path);
        } catch (const std::exception& e) {
            // One box per fill, however many of its rows fail: the row keeps the blank.
            if (!state.iconErrorShown) {
                state.iconErrorShown = true;
                Application.HandleException(ItemError(path, e));
            }
        }
        // The box's own message loop may have refilled the list meanwhile, or added rows.
        if (fill != state.fill)
            continue;
        state.rows[index].image = image;
        ::SendMessageW(list, LVM_REDRAWITEMS, item, item);
        loaded = true;
        if (::GetTickCount64() >= deadline)
            break;
    }
    return !state.wanted.empty();
}
