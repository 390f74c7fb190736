#pragma once

#include <exception>
#include <string>

// The one error type of the program. Every failure that a handler can meet is an
// Exception (or derived from it); the application shell shows its message in an
// error box. Messages are UTF-8 text.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}

    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// The text that an error box shows for a message: a full stop is added when the
// message is not empty and its last character sorts after '.' (a byte above 0x2E,
// or any byte of a multi-byte character).
std::string ErrorBoxText(const std::string& message);
