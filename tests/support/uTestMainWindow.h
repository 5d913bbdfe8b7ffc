// Base fixture of the suites that build the real main window in the test process: each test
// starts without the product key and leaves none behind.
#pragma once

#include "uCmnApp.h"
#include "uCmnError.h"
#include "uCmnHandle.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uOvLvw.h"
#include "uOvRowIcon.h"
#include "uOvFrmDef.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The font a window draws with.
inline LOGFONTW FontOf(HWND hwnd) {
    LOGFONTW lf{};
    auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    if (font)
        ::GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

// The user interface's font: 12-pixel MS P Gothic in the Shift-JIS character set.
inline void ExpectInterfaceFont(HWND hwnd) {
    const LOGFONTW lf = FontOf(hwnd);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック");
}

// The left mouse button down as the thread's input state tells it (GetKeyState) while the object
// lives: a drag made of messages is one the window takes for a drag.
class TButtonHeld {
  public:
    TButtonHeld() { Set(true); }
    ~TButtonHeld() { Set(false); }
    TButtonHeld(const TButtonHeld&) = delete;
    TButtonHeld& operator=(const TButtonHeld&) = delete;

  private:
    static void Set(bool down) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_LBUTTON] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
};

class TMainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Application.Initialize();
        // A run that names a code page (the second run under a Western one) must really have it.
        wchar_t expected[16] = {};
        if (::GetEnvironmentVariableW(L"OV_EXPECT_ACP", expected, 16)) {
            ASSERT_EQ(::GetACP(), std::wcstoul(expected, nullptr, 10));
        }
    }

    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override {
        form.reset();
        ProgramStateRemove();
    }

    // Creates the main window, hidden; its creation runs on the tree as it stands. A box at the
    // start that the test does not answer itself fails the test at once (it is closed), instead
    // of holding the suite until its time runs out.
    TFrmOvMain& Open() {
        form = std::make_unique<TFrmOvMain>();
        if (AnswerActive()) {
            form->Create();
            return *form;
        }
        for (const TBoxSeen& box : AnswerBoxes([&] { form->Create(); }, IDOK))
            ADD_FAILURE() << "a box at the start: " << Utf8Of(box.text);
        return *form;
    }

    // Creates the main window as Open does, then shows it at 520 x 400, active, as a user finds it.
    TFrmOvMain& OpenShown() {
        TFrmOvMain& f = Open();
        ::SetWindowPos(f.Handle(), nullptr, 50, 50, 520, 400, SWP_NOZORDER);
        ::ShowWindow(f.Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(f.Handle());
        PumpMessages(100);
        return f;
    }

    // Handles the window's messages one at a time until the folder of the page shown is listed
    // (a folder dropped as a new page is listed on a thread), and not one more.
    void ListedWait() {
        for (int waited = 0; form->Fill().Listing(form->CurrentPage) && waited < 30000;) {
            MSG msg;
            if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            } else {
                ::Sleep(1);
                ++waited;
            }
        }
        ASSERT_FALSE(form->Fill().Listing(form->CurrentPage)) << "the folder was never listed";
    }

    // A drag of the list's row `item` (the selected rows, or that one) moved to `to` in the
    // window's client coordinates and dropped there, the button held meanwhile.
    void DragRows(int item, POINT to) {
        TButtonHeld held;
        DragBegin(item);
        DragMove(to);
        ::SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }
    void DragBegin(int item) {
        NMLISTVIEW drag{};
        drag.hdr = {form->CptLvwItems, IDC_ITEMS, LVN_BEGINDRAG};
        drag.iItem = item;
        ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&drag));
    }
    void DragMove(POINT to) {
        ::SendMessageW(form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    }

    // The list position of the row with this caption; -1 for none.
    int Row(const wchar_t* caption) const {
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = caption;
        return ListView_FindItem(form->CptLvwItems, -1, &find);
    }
    // Selects the rows of these captions, the first focused.
    void Select(std::vector<const wchar_t*> captions) {
        ListView_SetItemState(form->CptLvwItems, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const wchar_t* caption : captions)
            ListView_SetItemState(form->CptLvwItems, Row(caption), LVIS_SELECTED, LVIS_SELECTED);
        if (!captions.empty())
            ListView_SetItemState(form->CptLvwItems, Row(captions[0]), LVIS_FOCUSED, LVIS_FOCUSED);
    }

    int ImageOf(int row) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(form->CptLvwItems, &item);
        return item.iImage;
    }
    // Far more steps of the icon loader than any page of these suites needs (each step loads
    // one icon at least): a loader that never finishes fails the test instead of hanging it.
    static constexpr int IconSteps = 10000;

    // Shows the window and runs the program's message loop until the icons its painted rows
    // asked for are loaded, as they load in the program's idle time.
    void PaintAndLoadIcons() {
        ::ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(form->Handle());
        const std::function<bool()> idle = Application.OnIdle;
        int steps = 0;
        Application.OnIdle = [&] {
            if (++steps <= IconSteps && idle())
                return true;
            ::PostQuitMessage(0);
            return false;
        };
        Application.MessageLoop();
        Application.OnIdle = idle;
        EXPECT_LE(steps, IconSteps) << "the icon loader never finished";
    }
    // Loads the icons the list has asked for so far, without a message loop.
    static void LoadAskedIcons() {
        int steps = 0;
        while (ListIconsLoad(1000))
            if (++steps == IconSteps) {
                ADD_FAILURE() << "the icon loader never finished";
                return;
            }
    }
    // An icon as an image list of the item lists' kind keeps it.
    static std::vector<uint32_t> AsStored(HICON icon, int size) {
        TUniqueImageList list(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
        return Stored(list.Get(), ::ImageList_ReplaceIcon(list.Get(), -1, icon));
    }
    static std::vector<uint32_t> Stored(HIMAGELIST list, int index) {
        TUniqueIcon icon(::ImageList_GetIcon(list, index, ILD_NORMAL));
        return IconPixels(icon.Get());
    }
    // Every row of the current page shows, in both image lists, the icons FileIconsGet takes from
    // its item's file at the window's icon sizes.
    void ExpectRowsShowTheirFilesIcons() {
        HWND list = form->CptLvwItems;
        const TIconSizes sizes = form->ItemIconSizes();
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t caption[512] = {};
            ListView_GetItemText(list, row, 0, caption, 512);
            const std::wstring path = ItemPathRead(form->CurrentPage, caption);
            SCOPED_TRACE(path);
            TUniqueIcon small, large;
            FileIconsGet(path, small, large, sizes);
            const int image = ImageOf(row);
            ASSERT_GE(image, 0);
            EXPECT_EQ(Stored(form->CptImlItems16.Get(), image), AsStored(small.Get(), sizes.small));
            EXPECT_EQ(Stored(form->CptImlItems32.Get(), image), AsStored(large.Get(), sizes.large));
        }
    }

    std::unique_ptr<TFrmOvMain> form;
};
