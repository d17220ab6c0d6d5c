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

// The text the application's error box shows: the message, with a full stop
// appended when its last character sorts after '.' as an unsigned byte: "Disk
// full" and "Why?" get one, "Done." and "Stop!" do not.
inline std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

}  // namespace tavo
