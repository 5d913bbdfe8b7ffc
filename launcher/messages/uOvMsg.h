// The launcher's own error and confirmation boxes, by message code.
#pragma once

#include "uCmnError.h"

#include <exception>
#include <string>

// Text of an error code (empty for codes without one).
std::wstring ErrorText(int code);
// Question of a confirmation code (empty for codes without one).
std::wstring ConfirmText(int code);

// Modal error box "エラー" with the stop icon and OK.
void ErrorBox(int code);
void ErrorMessageBox(const std::wstring& text);

// The text of a box about a file: the path on its own first lines, then the message.
std::wstring AboutFileText(const std::wstring& path, const std::wstring& message);
// An error met on an item's file, as the error its box shows: the same message, the file named.
ECmnError ItemError(const std::wstring& path, const std::exception& e);
// Modal question "確認" with OK and Cancel; true only for OK. Escape and the close box cancel.
bool ConfirmBox(int code);
