// The one error type of the game: a numbered runtime error, as the platform reports it.
#pragma once

#include <stdexcept>
#include <string>

namespace morvane {

// Error numbers the game raises and recognises.
enum class ErrorNumber : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    FileNotFound = 53,
    InvalidPropertyValue = 380,
    InvalidPicture = 481,
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorNumber number, const std::string &what)
        : std::runtime_error(what), m_number(number)
    {
    }
    ErrorNumber number() const { return m_number; }

private:
    ErrorNumber m_number;
};

[[noreturn]] inline void raiseError(ErrorNumber number, const std::string &what)
{
    throw RuntimeError(number, what);
}

} // namespace morvane
