// The program's one error type: a failure that carries the message text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace tavo {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// An error that has already been reported to the user (or needs no report): it
// unwinds like any other but the message dispatch shows nothing for it.
class SilentAbort : public Error {
public:
    SilentAbort() : Error("Operation aborted") {}
};

}  // namespace tavo
