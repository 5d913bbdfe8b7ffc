// The launcher's own error and confirmation boxes, by message code.
#pragma once

#include <string>

// Text of an error code (empty for codes without one).
std::wstring ErrorText(int code);
// Question of a confirmation code (empty for codes without one).
std::wstring ConfirmText(int code);

// Modal error box "エラー" with the stop icon and OK.
void ErrorBox(int code);
// Modal question "確認" with OK and Cancel; true only for OK. Escape and the close box cancel.
bool ConfirmBox(int code);
