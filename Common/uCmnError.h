// Errors that end the event in progress and reach the application's top-level error box.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>

// Base of every error the program raises on purpose. The message is shown as it stands (plus the
// closing "." rule of the top-level box); what() gives it in UTF-8 for generic handlers.
class ECmnError : public std::exception {
  public:
    explicit ECmnError(std::wstring message);
    const char* what() const noexcept override { return utf8_.c_str(); }
    const std::wstring& Message() const noexcept { return message_; }

  private:
    std::wstring message_;
    std::string utf8_;
};

// The text of any error: our own errors' as it stands, any other's from its UTF-8 what().
std::wstring ErrorMessageOf(const std::exception& e);

// Registry failures: a key that cannot be created, a value that cannot be set or read, a
// value of the wrong type.
class ERegError : public ECmnError {
    using ECmnError::ECmnError;
};

// A text that should hold a whole number does not.
class EConvertError : public ECmnError {
    using ECmnError::ECmnError;
};

// An index outside a string list.
class EListError : public ECmnError {
    using ECmnError::ECmnError;
};

// A failed COM or platform call, carrying the platform's description of the status code.
class EOleError : public ECmnError {
    using ECmnError::ECmnError;
};

// Fills a message pattern's directives in order: "%s" with a text, "%d" with a whole number in
// decimal, "%.8x" with one in eight hexadecimal digits; "%%" is a "%". A directive without an
// argument stays as written.
std::wstring FormatMessageText(const wchar_t* pattern, const std::wstring& arg);
std::wstring FormatMessageText(const wchar_t* pattern, int arg);
std::wstring FormatMessageText(const wchar_t* pattern, std::initializer_list<int> args);
std::wstring FormatMessageText(const wchar_t* pattern, std::initializer_list<std::wstring> args);

// UTF-8 and UTF-16 conversions, for texts that cross into narrow interfaces (exception texts,
// test output); never the ANSI code page.
std::string Utf8Of(const std::wstring& text);
std::wstring WideOfUtf8(const std::string& text);
