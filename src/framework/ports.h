// The operating-system services the core asks for, as small abstract classes.
#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <vector>

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

// Application: the program's main icon.
enum class MessageIcon { Error, Stop, Information, Application };

// Modal message boxes with a single "OK" button, centred on the screen.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
};

// The application-wide mouse cursor.
enum class CursorShape { Default, HourGlass };

class Cursor {
public:
    virtual ~Cursor() = default;
    virtual void SetShape(CursorShape shape) = 0;
};

// What the common open-file dialog is asked to do.
struct OpenDialogOptions {
    bool allowMultiSelect = false;
    bool pathMustExist = false;
    bool fileMustExist = false;
    bool enableSizing = false;
    bool hideReadOnly = false;
    bool explorer = true;
};

struct OpenDialogRequest {
    std::string title;
    // Pairs of description and pattern joined by "|".
    std::string filter;
    int filterIndex = 1;
    std::string defaultExt;
    std::string fileName;
    std::string initialDir;
    OpenDialogOptions options;
    // Characters the dialog may return its names in.
    size_t bufferChars = 260;
};

struct OpenDialogResult {
    // Full paths, in the order the dialog lists them.
    std::vector<std::string> files;
    int filterIndex = 1;
    // The user chose more names than the buffer holds, so the dialog failed and `files` is empty.
    bool tooLong = false;
};

// The modal common open-file dialog.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen files; a result marked tooLong when their names did not fit; nothing when the user
    // cancelled or the dialog failed otherwise.
    virtual std::optional<OpenDialogResult> RunOpenDialog(const OpenDialogRequest& request) = 0;
};

// Folders the system reports.
class SystemFolders {
public:
    virtual ~SystemFolders() = default;
    // The Windows directory exactly as the system returns it (a drive root keeps its "\").
    virtual std::string WindowsDirectory() const = 0;
    // The user's local application-data folder (%LOCALAPPDATA%); empty when the system names none.
    virtual std::string LocalAppData() const = 0;
};

// What the system grants this process.
class ProcessToken {
public:
    virtual ~ProcessToken() = default;
    // Whether the system redirects this process's writes to protected folders, such as the Windows
    // directory, into the user's VirtualStore; nothing when it could not be asked.
    virtual std::optional<bool> VirtualizationEnabled() const = 0;
};

// The desktop wallpaper setting.
class Wallpaper {
public:
    virtual ~Wallpaper() = default;
    // Asks the system to load `fileName` as the desktop wallpaper and to record
    // the choice in the user's profile; false when the system refused.
    virtual bool SetDeskWallpaper(const std::string& fileName) = 0;
};

// What a window asks of the application object.
class AppLifetime {
public:
    virtual ~AppLifetime() = default;
    // Requests termination: the message loop ends once the current message is handled.
    virtual void Terminate() = 0;
    // Makes the program's window that was active last the foreground window.
    virtual void BringToFront() = 0;
    // The application's error box (nothing for a silent abort); the program goes on.
    virtual void ShowException(const std::exception& error) = 0;
};

}  // namespace tavo
