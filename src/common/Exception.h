#pragma once
// The program's general error: raised with a message text, swallowed by the main window's handler.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};
