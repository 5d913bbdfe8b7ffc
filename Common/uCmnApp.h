// The application object: COM and common controls, the hidden application window that carries
// the taskbar button and owns the main window, the show flag, the message loop and the
// top-level error box.
#pragma once

#include "uCmnForm.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

class TApplication : public TForm {
  public:
    ~TApplication() override;

    // Common controls and the application window. COM starts where it is first needed
    // (ComEnsure), so the start loads none of it.
    void Initialize();
    bool Initialized() const noexcept { return Handle() != nullptr; }

    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(const std::wstring& title);

    // Whether Run shows the main form when the loop starts.
    bool ShowMainForm = true;
    // The show command Run uses for the first showing instead of the start's own; -1 for none.
    int StartShow = -1;

    // The window whose close ends the message loop and the program.
    void SetMainForm(TForm* form) noexcept { mainForm_ = form; }
    TForm* MainForm() const noexcept { return mainForm_; }

    // Shows the main form as the start's show command says, then pumps messages until the main
    // form has gone, and ends the COM that ComEnsure started on the thread. Returns the exit code.
    int Run();
    // The same loop without the initial show, for nested use and tests.
    static int MessageLoop();

    // Work done while no message waits, a step at a time: the loop calls it whenever its queue
    // is empty and keeps calling it, between messages, while it answers true.
    std::function<bool()> OnIdle;
    // A look at each message before it is translated and dispatched (keyboard accelerators): true
    // when it was handled and goes no further.
    std::function<bool(MSG&)> OnMessage;
    // One message of the loop: OnMessage, then translated and dispatched. For nested loops too.
    static void ProcessMessage(MSG& msg);
    // One step of OnIdle; false when there is none or it has nothing more to do. An error ends
    // the step in the top-level error box.
    bool Idle() noexcept;

    // Minimising the program minimises the application window and hides the main form with it;
    // restoring brings both back.
    void Minimize();
    void Restore();
    bool Minimized() const;

    // The top-level error box: caption = title, error icon, one OK button. An error whose box
    // is still open (raised again by a message its box's own loop handles) opens no second one.
    void HandleException(const std::exception& e) noexcept;
    // The same for the exception being handled, whatever its type; call inside a catch block.
    void HandleCurrentException() noexcept;
    // The text as the box shows it: "." appended when the last character comes after "." in
    // code order (a letter, a digit, any character of another script).
    static std::wstring ErrorBoxText(const std::wstring& message);

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    std::wstring title_;
    TForm* mainForm_ = nullptr;
    // Texts of the error boxes open now, innermost last.
    std::vector<std::wstring> openBoxes_;
};

extern TApplication Application;

// Runs one step of a sequence (a window's creation, its close): an error is shown in the top-level
// error box and the sequence goes on, so a damaged setting never leaves the user without a window.
void RunStep(const std::function<void()>& step) noexcept;
