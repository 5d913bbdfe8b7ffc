// The main window FrmOvMain: its controls, its run-time state and the handlers of its events,
// which hand the item commands, the search and the menus to the units that carry them out. It is
// their host (uOvHost): they reach it through that interface only.
#pragma once

#include "uCmnForm.h"
#include "uCmnHandle.h"
#include "uCmnIcon.h"
#include "uCmnListCue.h"
#include "uOvCmd.h"
#include "uOvHost.h"
#include "uOvLvw.h"
#include "uOvPageCmd.h"
#include "uOvFill.h"
#include "uOvSearch.h"
#include "uOvTray.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the status bar's two panels show, worked out when the page or its items change.
struct TStatusPanels {
    std::wstring pageText;
    std::wstring folder;
    // The folder's small icon waits at position 0 of CptImlDefImages.
    bool folderIcon = false;
    // The folder whose icon was put there, and in which image list: a repaint for the same folder
    // (every change of its page) loads it no more.
    std::wstring iconFolder;
    HIMAGELIST iconImages = nullptr;
    // The folder's icon is to be loaded in idle time (StatusFolderIconLoad): a folder's icon can
    // take the shell a fifth of a second, too long for the message that showed the page.
    bool iconWanted = false;
};

class TFrmOvMain : public TForm, private TMainHost {
  public:
    TFrmOvMain();
    ~TFrmOvMain() override;

    // Creates the window hidden, owned by the application window; creation runs FormCreate.
    void Create();

    // Run-time state, read at creation and written back at close.
    int32_t CurrentPage = 0;
    int32_t PageTotal = 0;
    int32_t ViewStyle = 0;
    int32_t SortColumn = 0;
    int32_t SortOrder = 1;
    std::wstring LastOpenDir;

    // Controls.
    HWND CptTbrToolBar = nullptr;
    HWND CptLvwItems = nullptr;
    HWND CptSbrStatus = nullptr;
    // The line the item list shows while it has no rows, set with the page.
    TListCue CptLvwItemsCue;
    TUniqueMenu CptPmuViewStyle;
    TUniqueImageList CptImlHotImages;
    TUniqueImageList CptImlItems16;
    TUniqueImageList CptImlItems32;
    TUniqueImageList CptImlDefImages;
    // Tooltips of the toolbar buttons, left to right.
    std::wstring CptTbnHints[6];
    // Edge the toolbar is docked to: 0 top, 1 bottom, 2 right, 3 left.
    int32_t ToolBarAlign = 0;
    TStatusPanels StatusPanels;

    // The search (uOvSearch): its field, its index and its results.
    TItemSearch& Search() noexcept { return search_; }
    const TItemSearch& Search() const noexcept { return search_; }
    // The page commands (uOvPageCmd): the page list, names, page moves, items moved.
    TPageCommands& Pages() noexcept { return pages_; }

    // The display scale the window is laid out for, and a size of the 96-DPI layout at it.
    int Dpi = 96;
    int Scaled(int value96) const;
    // The item icons' sizes at that scale.
    TIconSizes ItemIconSizes() const;
    // Lays the window out for `dpi`: font, toolbar images and button sizes, item image lists,
    // status panels; the rows stay and load their icons again at the new size.
    void ScaleApply(int dpi);

    // Places toolbar, list, search field and status bar for the current client size and toolbar
    // edge.
    void LayoutControls() override;
    // Gives the window these bounds, also when the move takes it to another display scale.
    void PlaceAt(const RECT& bounds);

    // Window-level events. FormShow reads the taskbar setting when the window is shown; each
    // paint applies what it read, touching no setting.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();

    // Control events.
    void CptPmuItemBtnUpdateClick();
    void CptLvwItemsColumnClick(int column);
    void CptTbnViewStyleClick();
    void CptPmuViewStyleClick(int entry);
    void CptTbnOptionClick();
    void CptTbnBeforeClick();
    void CptTbnNextClick();
    void CptTbnInsertClick();
    void CptTbnDeleteClick();
    void CptLvwItemsDblClick();
    // Returns false when no editor may open; otherwise the row's item is the one the edit renames.
    bool CptLvwItemsEditing(int item);
    // The editor closed with `newText` (null: cancelled). Returns false when the old caption stays;
    // true when newText became the caption of the item the editor was opened on.
    bool CptLvwItemsEdited(const wchar_t* newText);
    // The item list's menus (uOvItemMenu) at `screen`; from the keyboard, (-1, -1), at the
    // focused row.
    void ItemMenusOpen(POINT screen);
    // Files dropped from the shell; always releases the drop handle.
    void FilesDropped(HDROP drop);
    // The hot-key library's message: WParam the key, bit 31 of LParam set on release.
    void HookKeyPressed(WPARAM key, LPARAM flags);

    // The keyboard (uOvKey): the keys of OV_KEYS and where the focus goes.
    // Gives the keyboard to the item list; with `rowToo`, also focuses and selects a row (the one
    // focused before, else the first), as when the window is shown or called up.
    void ItemListFocus(bool rowToo) override;
    // Focuses and selects the row, the last one when there are fewer rows, and scrolls it into
    // view.
    void ItemRowPick(int row) override;
    void PageFillStart(int32_t page, const std::wstring& folder) override;
    void PageFillStep() noexcept;
    // A folder dropped as a new page is listed: its rows show if the page still waits for them.
    void FolderListed();
    // The folder pages' items still to be written into the store.
    const TPageFill& Fill() const noexcept { return fill_; }
    // The window shown, restored or called up: the keyboard goes to the list with a row, or during
    // a search to its field with the text selected.
    void KeyboardTake();
    // Ctrl+A: every row selected.
    void ItemsSelectAll();
    // True when the message was one of the window's keys and its command has run.
    bool KeyTranslate(MSG& msg);

    // The notification-area icon (uOvTray): shown when asked for or when the taskbar button is
    // off, its tip the caption; its clicks (WM_TRAYICON's LParam) and its menu.
    void TrayUpdate();
    void TrayNotified(UINT mouse);
    TTrayIcon& Tray() noexcept { return tray_; }
    // The taskbar button is off (the setting, with the hook library there to apply it).
    bool TaskbarHidden() const noexcept { return taskbarHidden_.value_or(false); }

    // Work between messages: the hot-key library's binding after the start, then the icons of the
    // rows painted, then the status bar's folder icon. True while there is more.
    bool IdleWork();

    // Works the status bar and the empty list's line out anew and repaints them; a failure is
    // reported, never raised.
    void StatusRepaint() noexcept override;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT FailureResult(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateControls();
    void CreateToolBar();
    void CreateItemList();
    void CreateStatusBar();
    void CreateViewMenu();
    void PaintToolBarEdge();
    void OnMinMaxInfo(MINMAXINFO* info);
    void OnDpiChanged(int dpi, const RECT& suggested);
    LRESULT OnNotify(NMHDR* header);
    void OnCommand(int id);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void ViewMenuDropDown();
    // The page list under the next button's arrow.
    void PageListDropDown();
    void ViewStyleButtonRelease();
    void CptSbrStatusDrawPanel(int panel, HDC dc, const RECT& rect);
    void TaskbarSettingRead();
    // The stored state the window runs on (page, view, sort, the insert dialog's folder), and the
    // view and toolbar applied from it: at the start, and after an import replaced the tree.
    void StateRead();
    void ViewApply();
    // An import changed the tree: the pages, and when it replaced the tree the settings too, are
    // read again and the page shown again.
    void TreeReread(bool replaced);

    // The host's part (uOvHost).
    HWND Window() const override { return Handle(); }
    HWND ItemList() const override { return CptLvwItems; }
    HFONT Font() const override { return static_cast<HFONT>(font_.Get()); }
    void PageShowAgain() override { CptPmuItemBtnUpdateClick(); }
    bool MenuOpen() const override { return menuOpen_; }
    // Rows dragged inside the window (uOvDrag): picked up, moved over the window, held over a page
    // button, dropped (or with `drop` false given up).
    void ItemDragBegin(int item);
    void ItemDragMove(POINT client, bool buttonDown);
    void ItemDragHover();
    void ItemDragEnd(POINT client, bool drop);
    // The page the rows would move to at `client`: 0 a new page, -1 none; `button` the toolbar
    // button there.
    int32_t ItemDragTarget(POINT client, int& button) const;

    void TrayClick();
    // Restored, in front, the keyboard in the list: as the hot key calls the window up.
    void CallUp();
    void TrayMenuOpen();
    TTrayIcon tray_;
    // Lists folders on threads of its own, which only post the window WM_FOLDERLISTED.
    TPageFill fill_;
    // The option, read at the start and after the options dialog.
    bool trayWanted_ = false;
    // When the window last lost the activation: a click on the icon takes it first.
    DWORD deactivatedAt_ = 0;

    // Alt+Down was pressed: the page list opens when Alt is released.
    bool pageListOnAltUp_ = false;
    // A menu's modal loop runs (WM_ENTERMENULOOP to WM_EXITMENULOOP).
    bool menuOpen_ = false;

    bool dragging_ = false;
    std::vector<TListRow> dragRows_;
    TUniqueImageList dragImage_;
    // The page button the rows are held over, 0 for none.
    int dragHover_ = 0;
    // The taskbar setting FormShow read, applied at each paint; none while it could not be read
    // or the hook library is absent.
    std::optional<bool> taskbarHidden_;
    // The hot key's settings could not be read: it stays off until the options are set again.
    bool hotKeyBroken_ = false;
    // A page value that is not a string has been named in a box.
    bool oddValueTold_ = false;
    // From WM_CREATE until FormCreate's layout step: the layout waits for that one pass.
    bool creating_ = false;
    // The hot-key library is still to be bound (in the first idle moment).
    bool hookPending_ = false;
    bool indexPending_ = false;
    TUniqueAccel keys_;
    // PlaceAt is moving the window: a scale change lays it out again but keeps its bounds.
    bool placing_ = false;

    TUniqueGdi font_;
    // The units that carry out the window's commands, with the state they read and change.
    TMainState state_{CurrentPage, PageTotal, SortColumn, SortOrder, LastOpenDir};
    TItemSearch search_{*this, state_};
    TItemCommands commands_{*this, state_, search_};
    TPageCommands pages_{*this, state_, search_, commands_};
};

// The one main window of the process; set while it exists.
extern TFrmOvMain* FrmOvMain;
