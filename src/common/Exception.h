#pragma once
// The program's general error: raised with a message text, swallowed by the main window's handler.
#include <exception>
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The message text of an error that a handler caught, widened from the system code page.
std::wstring ErrorText(std::exception_ptr error);
