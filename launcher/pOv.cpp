// The program entry: one running instance, the application object and the main window.
#include "uCmnApp.h"
#include "uCmnHandle.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvCfg.h"
#include "uOvMain.h"
#include "uOvSignIn.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // Held until the process ends; a second start finds it and leaves at once, showing nothing.
    TUniqueHandle mutex(::CreateMutexW(nullptr, FALSE, OV_MUTEX_NAME));
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    try {
        Application.Initialize();
        // The title captions the error box of anything that fails before the captions are set.
        Application.SetTitle(OV_APP_TITLE);
        Application.ShowMainForm = false;
        TFrmOvMain form;
        // The application never keeps a pointer to a form that is gone, also when the
        // creation raises.
        struct TMainFormScope {
            explicit TMainFormScope(TForm& form) { Application.SetMainForm(&form); }
            ~TMainFormScope() { Application.SetMainForm(nullptr); }
        } scope(form);
        // Started by the Run value at sign-in: the window comes up as the user left it, out of the
        // way of what they start first (minimised, or with the taskbar button off not shown at
        // all: the notification-area icon shows it), unless this is the first run.
        bool signIn = false;
        try {
            signIn = SignInStart(::GetCommandLineW()) && !FirstRunDue();
        } catch (...) {
        }
        form.Create();
        if (signIn) {
            if (form.TaskbarHidden() && form.Tray().Shown())
                Application.ShowMainForm = false;
            else
                Application.StartShow = SW_SHOWMINNOACTIVE;
        }
        Application.Run();
    } catch (...) {
        Application.HandleCurrentException();
    }
    return 0;
}
