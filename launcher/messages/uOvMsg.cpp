// The launcher's own error and confirmation boxes.
#include "uOvMsg.h"

#include "uCmnFile.h"
#include "uCmnWnd.h"
#include "uOvMsgDef.h"

#include <windows.h>

#include <iterator>

std::wstring ErrorText(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(OV_MSG_ERRORS)))
        return {};
    return OV_MSG_ERRORS[code];
}

std::wstring ConfirmText(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(OV_MSG_CONFIRMS)))
        return {};
    return OV_MSG_CONFIRMS[code];
}

// No owner and task-modal: centred on the screen, and every window of the program waits.
void ErrorBox(int code) {
    ErrorMessageBox(ErrorText(code));
}

void ErrorMessageBox(const std::wstring& text) {
    TActivationKeep keep;
    ::MessageBoxW(nullptr, text.c_str(), OV_MSG_ERROR_CAPTION, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

std::wstring AboutFileText(const std::wstring& path, const std::wstring& message) {
    return FormatMessageText(OV_MSG_ABOUT_FILE, {PathWrapped(path, OV_MSG_PATH_WIDTH), message});
}

ECmnError ItemError(const std::wstring& path, const std::exception& e) {
    return ECmnError(AboutFileText(path, ErrorMessageOf(e)));
}

bool ConfirmBox(int code) {
    TActivationKeep keep;
    return ::MessageBoxW(nullptr, ConfirmText(code).c_str(), OV_MSG_CONFIRM_CAPTION,
                         MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1 | MB_TASKMODAL) == IDOK;
}
