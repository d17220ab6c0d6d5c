// In-memory doubles of the main window's ports, writing what happens into one shared log.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "framework/ports.h"
#include "support/fake_ports.h"

namespace tavo::testing {

// The order of cursor changes, status texts, wallpaper calls and so on across ports.
using EventLog = std::vector<std::string>;

class LoggingCursor : public Cursor {
public:
    explicit LoggingCursor(EventLog& log) : log_(log) {}
    void SetShape(CursorShape shape) override {
        log_.push_back(shape == CursorShape::HourGlass ? "cursor:wait" : "cursor:default");
    }

private:
    EventLog& log_;
};

// Answers each dialog with the next queued reply; nothing queued is a cancel.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::optional<OpenDialogResult> RunOpenDialog(const OpenDialogRequest& request) override {
        requests.push_back(request);
        if (replies.empty()) return std::nullopt;
        std::optional<OpenDialogResult> reply = replies.front();
        replies.pop_front();
        return reply;
    }
    void Choose(std::vector<std::string> files, int filterIndex = 1) {
        replies.push_back(OpenDialogResult{std::move(files), filterIndex});
    }
    void Cancel() { replies.push_back(std::nullopt); }
    // More names than the dialog's buffer holds.
    void ChooseTooMany() {
        OpenDialogResult failed;
        failed.tooLong = true;
        replies.push_back(failed);
    }

    std::deque<std::optional<OpenDialogResult>> replies;
    std::vector<OpenDialogRequest> requests;
};

class FixedFolders : public SystemFolders {
public:
    explicit FixedFolders(std::string windowsDirectory = "C:\\WINDOWS")
        : windowsDirectory(std::move(windowsDirectory)) {}
    std::string WindowsDirectory() const override { return windowsDirectory; }
    std::string LocalAppData() const override { return localAppData; }
    std::string windowsDirectory;
    std::string localAppData;
};

// The process token's answer: not virtualized unless told otherwise; nothing: the question failed.
class FixedToken : public ProcessToken {
public:
    std::optional<bool> VirtualizationEnabled() const override { return virtualized; }
    std::optional<bool> virtualized = false;
};

// Records each call and whether the file was there at that moment.
class RecordingWallpaper : public Wallpaper {
public:
    explicit RecordingWallpaper(EventLog& log) : log_(log) {}
    bool SetDeskWallpaper(const std::string& fileName) override {
        log_.push_back("wallpaper");
        fileNames.push_back(fileName);
        fileExisted.push_back(std::filesystem::exists(fileName));
        return result;
    }
    std::vector<std::string> fileNames;
    std::vector<bool> fileExisted;
    bool result = true;

private:
    EventLog& log_;
};

// Counts termination requests; the error box goes to `errorBox` as the application shows it.
class CountingLifetime : public AppLifetime {
public:
    explicit CountingLifetime(RecordingDialogs* errorBox = nullptr) : errorBox_(errorBox) {}
    void Terminate() override { ++terminations; }
    void BringToFront() override { ++broughtToFront; }
    void ShowException(const std::exception& error) override {
        if (errorBox_ && !dynamic_cast<const SilentAbort*>(&error))
            errorBox_->ShowMessage(ErrorBoxText(error.what()), "Tavo Wallpaper 2", MessageIcon::Stop);
    }
    int terminations = 0;
    int broughtToFront = 0;

private:
    RecordingDialogs* errorBox_;
};

}  // namespace tavo::testing
