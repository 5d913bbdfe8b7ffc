// The program's icon in the notification area: added, its tip kept up to date, added again when
// Explorer starts anew, removed at exit.
#pragma once

#include "uCmnHandle.h"

#include <windows.h>

#include <string>

// Whether the user asked for the icon (the option; absent in earlier trees: no).
bool TrayIconWanted();

class TTrayIcon {
  public:
    TTrayIcon() = default;
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;
    ~TTrayIcon() { Remove(); }

    // Shows the icon of `owner` (its clicks come as `message`) with the tip `tip`, at the small
    // icon size of `dpi`, or removes it. Asking again with the same settings does nothing.
    void Set(HWND owner, UINT message, bool shown, const std::wstring& tip, int dpi);
    // Explorer started anew (its TaskbarCreated message): the icon is added again.
    void Restore();
    void Remove();
    bool Shown() const noexcept { return shown_; }
    // The message Explorer broadcasts when its taskbar is created.
    static UINT TaskbarCreatedMessage();

  private:
    bool Add(bool modify);

    HWND owner_ = nullptr;
    UINT message_ = 0;
    bool shown_ = false;
    // Explorer took the icon: false while there is no notification area to take it.
    bool added_ = false;
    std::wstring tip_;
    int dpi_ = 0;
    TUniqueIcon icon_;
};
