// A one-line text asked for in a modal dialog built in memory.
#include "uOvInput.h"

#include "uCmnApp.h"

#include <cstdint>
#include <vector>

namespace {

inline constexpr const wchar_t* OkText = L"OK";
inline constexpr const wchar_t* CancelText = L"キャンセル";

// A dialog template in memory: DLGTEMPLATE, its items, each aligned as the format wants.
class TTemplate {
  public:
    void Header(DWORD style, short cx, short cy, const std::wstring& title, short items) {
        DLGTEMPLATE t{};
        t.style = style;
        t.cdit = items;
        t.cx = cx;
        t.cy = cy;
        Raw(&t, sizeof(t));
        Word(0); // no menu
        Word(0); // the dialog class
        Text(title);
        Word(9);
        Text(L"MS Shell Dlg 2");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
              const std::wstring& text) {
        Align(4);
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Raw(&item, sizeof(item));
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0); // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    void Raw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    void Word(WORD w) { Raw(&w, sizeof(w)); }
    void Text(const std::wstring& text) { Raw(text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }
    void Align(size_t n) {
        while (bytes_.size() % n)
            bytes_.push_back(0);
    }
    // Its start is aligned as new aligns any allocation, more than the DWORDs the format needs.
    std::vector<uint8_t> bytes_;
};

// A dialog's own answers travel above this base, so that neither 0 nor -1 (what a dialog gives
// that was destroyed with its owner, or never made) is ever taken for one.
constexpr INT_PTR AnswerBase = 0x4000;
constexpr INT_PTR AnswerSpan = 0x1000;

void DialogEnd(HWND dialog, int answer) {
    ::EndDialog(dialog, AnswerBase + answer);
}

// Runs the dialog modally over `owner` and gives its answer (DialogEnd); any other end gives
// `safe`: a question closed from outside (a sign-out, the program closing under it, a kill of
// its owner) ends as the answer that changes nothing, never as its first button.
int DialogRun(HWND owner, const DLGTEMPLATE* dialog, DLGPROC proc, LPARAM param, int safe) {
    const bool ownerEnabled = owner && ::IsWindowEnabled(owner);
    const INT_PTR ended =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog, owner, proc, param);
    // A dialog destroyed rather than ended leaves its owner disabled: it takes input again.
    if (ownerEnabled && ::IsWindow(owner) && !::IsWindowEnabled(owner))
        ::EnableWindow(owner, TRUE);
    return ended >= AnswerBase && ended < AnswerBase + AnswerSpan
               ? static_cast<int>(ended - AnswerBase)
               : safe;
}

INT_PTR CALLBACK AskProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* ask = reinterpret_cast<TTextAsk*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        ask = reinterpret_cast<TTextAsk*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        HWND edit = ::GetDlgItem(dialog, IDC_TEXTASK_EDIT);
        if (ask->limit)
            ::SendMessageW(edit, EM_SETLIMITTEXT, ask->limit * 2, 0);
        ::SetWindowTextW(edit, ask->text.c_str());
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        return FALSE;
    }
    case WM_COMMAND:
        if (!ask)
            break;
        if (LOWORD(wParam) == IDOK) {
            HWND edit = ::GetDlgItem(dialog, IDC_TEXTASK_EDIT);
            std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<size_t>(
                ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            // No exception leaves the dialog's procedure: one from the check is told, and the
            // dialog stays for another try.
            bool accepted = false;
            RunStep([&] { accepted = !ask->accept || ask->accept(text); });
            if (!accepted) {
                ::SetFocus(edit);
                ::SendMessageW(edit, EM_SETSEL, 0, -1);
                return TRUE;
            }
            ask->text = text;
            DialogEnd(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            DialogEnd(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool TextAskRun(HWND owner, TTextAsk& ask) {
    TTemplate t;
    t.Header(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 220, 62,
             ask.title, 4);
    t.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 206, 10, IDC_TEXTASK_PROMPT, 0x0082, ask.prompt);
    t.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 20, 206, 14, IDC_TEXTASK_EDIT,
           0x0081, L"");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 41, 50, 14, IDOK, 0x0080, OkText);
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 163, 41, 50, 14, IDCANCEL, 0x0080, CancelText);
    return DialogRun(owner, t.Get(), AskProc, reinterpret_cast<LPARAM>(&ask), IDCANCEL) == IDOK;
}

namespace {

INT_PTR CALLBACK ChoiceProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        // Enter presses the default button, which has the keyboard.
        const auto id = static_cast<WPARAM>(IDC_CHOICE_FIRST + lParam);
        ::SendMessageW(dialog, DM_SETDEFID, id, 0);
        ::SetFocus(::GetDlgItem(dialog, static_cast<int>(id)));
        return FALSE;
    }
    if (msg == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            DialogEnd(dialog, -1);
            return TRUE;
        }
        if (id >= IDC_CHOICE_FIRST && id < IDC_CHOICE_FIRST + 16) {
            DialogEnd(dialog, id - IDC_CHOICE_FIRST);
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace

int ChoiceAskRun(HWND owner, const std::wstring& title, const std::wstring& text,
                 const std::vector<std::wstring>& buttons, int defaultButton) {
    short lines = 1;
    for (wchar_t c : text)
        lines += c == L'\n';
    const short width = 260, button = 62, gap = 4;
    const short textHeight = static_cast<short>(lines * 9 + 2);
    const short top = static_cast<short>(7 + textHeight + 8);
    TTemplate t;
    t.Header(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, width,
             static_cast<short>(top + 14 + 7), title, static_cast<short>(buttons.size() + 1));
    t.Item(SS_LEFT | SS_NOPREFIX, 7, 7, width - 14, textHeight, IDC_TEXTASK_PROMPT, 0x0082, text);
    short x = static_cast<short>(width - 7 - buttons.size() * button - (buttons.size() - 1) * gap);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const DWORD style =
            (static_cast<int>(i) == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
        t.Item(style, x, top, button, 14, static_cast<WORD>(IDC_CHOICE_FIRST + i), 0x0080,
               buttons[i]);
        x = static_cast<short>(x + button + gap);
    }
    const int chosen = DialogRun(owner, t.Get(), ChoiceProc, defaultButton, -1);
    return chosen >= 0 && chosen < static_cast<int>(buttons.size()) ? chosen : -1;
}
