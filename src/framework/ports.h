// The operating-system services the core asks for, as small abstract classes.
#pragma once

#include <string>

namespace tavo {

// The primary display.
class Screen {
public:
    virtual ~Screen() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Bits per pixel times planes of the display's device context.
    virtual int BitsPerPixel() const = 0;
};

enum class MessageIcon { Error, Stop, Information };

// Modal message boxes with a single "OK" button, centred on the screen.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

// Where progress texts go (the main window's status line).
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void SetStatus(const std::string& text) = 0;
};

}  // namespace tavo
