// The options dialog FrmOvOptn: hot key, its two window options and the toolbar edge.
#pragma once

#include "uCmnForm.h"
#include "uCmnHandle.h"
#include "uOvSignIn.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

// The window the dialog opens over, which takes no input meanwhile and whose display scale the
// dialog is laid out at; without one, the application window at the system's scale. 設定 docks
// that window's toolbar to the edge it stores through `toolBarEdge`.
struct TOptionsOwner {
    HWND window = nullptr;
    int dpi = 96;
    std::function<void(int32_t)> toolBarEdge;
    // An import changed the tree (true: replaced it, false: appended pages): the window reads
    // what it shows again. The dialog closes then, writing none of its settings.
    std::function<void(bool)> treeChanged;
};

class TFrmOvOptn : public TForm {
  public:
    explicit TFrmOvOptn(TOptionsOwner owner = {});
    ~TFrmOvOptn() override;

    // Creates the dialog owned by its owner, runs it modally and destroys it again.
    void ShowModal();

    // Controls. The hot-key group lives on the panel CptPnlHook; the rest on the dialog.
    HWND CptImgLogo = nullptr;
    HWND CptImgIcon = nullptr;
    HWND CptLblVerAndCopyright = nullptr;
    HWND CptLblURL = nullptr;
    HWND CptBvlLine = nullptr;
    HWND CptPnlHook = nullptr;
    HWND CptBvlHook = nullptr;
    HWND CptCbxHook = nullptr;
    HWND CptLblShortCutKey = nullptr;
    HWND CptCmbShortCutKey = nullptr;
    HWND CptCbxHideTaskbar = nullptr;
    HWND CptCbxMoveMouse = nullptr;
    HWND CptLblToolBar = nullptr;
    HWND CptCmbToolBar = nullptr;
    HWND CptCbxSignIn = nullptr;
    // Shown when the Run key starts another copy of the program.
    HWND CptLblSignInNote = nullptr;
    HWND CptCbxTrayIcon = nullptr;
    // The hot key opens the search field; with the hot key only.
    HWND CptCbxHookSearch = nullptr;
    HWND CptBtnExport = nullptr;
    HWND CptBtnImport = nullptr;
    HWND CptBtnSet = nullptr;
    HWND CptBtnCancel = nullptr;

    // What the Run key held when the dialog opened: 設定 writes the value only when the box
    // was changed from what that showed.
    TSignInState SignInShown = TSignInState::Absent;

    // A size of the 96-DPI layout at the dialog's display scale.
    int Scaled(int value96) const;

    // Window-level events.
    void FormCreate();

    // Control events.
    void CptCbxHookClick();
    void CptLblURLClick();
    void CptBtnSetClick();
    void CptBtnCancelClick();
    void CptBtnExportClick();
    void CptBtnImportClick();

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateControls();
    HWND CreateControl(HWND parent, const wchar_t* className, DWORD style, int id,
                       const RECT& bounds, DWORD exStyle = 0);
    void OnCommand(int id, int code);
    LRESULT OnCtlColorStatic(HDC dc, HWND control);
    bool OnSetCursor(HWND control);
    void OnActivate(bool active);
    void FocusNext(bool previous);

    // Lays the dialog out for `dpi`: client size, control rectangles, fonts, logo and icon.
    void ScaleApply(int dpi);

    // A control and its rectangle in the 96-DPI layout.
    struct TPlaced {
        HWND control;
        RECT bounds;
    };
    std::vector<TPlaced> placed_;
    TOptionsOwner owner_;
    int dpi_ = 96;
    TUniqueGdi font_;
    TUniqueGdi linkFont_;
    TUniqueGdi logo_;
    TUniqueIcon icon_;
    HWND lastFocus_ = nullptr;
    bool modalDone_ = false;
};

// The dialog while it exists.
extern TFrmOvOptn* FrmOvOptn;

// Ticks or unticks a check box.
void CheckBoxSet(HWND box, bool ticked);
// Whether a check box is ticked.
bool CheckBoxTicked(HWND box);
