// Errors that end the event in progress and reach the application's top-level error box.
#pragma once

#include <exception>
#include <string>

// Base of every error the program raises on purpose. The message is a Shift-JIS byte string,
// shown as it stands (plus the closing "." rule of the top-level box).
class ECmnError : public std::exception {
  public:
    explicit ECmnError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

  private:
    std::string message_;
};

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

// Formats a message pattern with one "%s" (or "%d", "%.8x") argument; the pattern is a
// Shift-JIS literal. The integer form serves "%d" and "%.8x".
std::string FormatMessageText(const char* pattern, const std::string& arg);
std::string FormatMessageText(const char* pattern, int arg);
