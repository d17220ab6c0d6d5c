// The open-file dialog model: its settings, the files the user chose, and the platform's name list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/ports.h"

namespace tavo {

inline constexpr char kTooManyFilesText[] =
    "Too many files were selected at once; choose fewer files at a time.";

// The settings are those of the request the dialog hands its port.
class OpenDialog : public Component, public OpenDialogRequest {
public:
    explicit OpenDialog(FileDialogs* port) : port_(port) {}
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    // Runs the modal dialog. Confirmed: Files() holds the chosen paths, fileName
    // the first of them and filterIndex the user's filter. Cancelled or failed:
    // false, Files() is empty and the settings stay. A choice too long for the
    // buffer throws Error(kTooManyFilesText) with Files() empty and the settings kept:
    // the user, who confirmed it, learns why nothing happens.
    bool Execute();
    const std::vector<std::string>& Files() const { return files_; }

private:
    FileDialogs* port_;
    std::vector<std::string> files_;
};

// The full paths in a multiple-selection result buffer: NUL-separated texts ending
// with an empty one. One text is the one full path; several are a folder and the
// names in it, each joined with a "\" unless the folder ends with one, and a name
// that is already absolute ("\..." or "X:\...") is taken unchanged.
std::vector<std::string> SplitSelectedFiles(const std::string& buffer);

// The names in the dialog's whole result buffer (`result`) with their NULs and the closing one, as
// ReadSelectedFiles finds them; empty when they do not end inside it.
std::string SelectedNamesText(const std::string& result, size_t fileOffset);

// The full paths in the dialog's whole result buffer (`result`, as many characters as
// the dialog was given), or nothing when its names do not end inside it: names that did
// not fit, which some systems return cut short instead of failing. `fileOffset` is where
// the dialog says the first name starts; a NUL just before it marks several files.
std::optional<std::vector<std::string>> ReadSelectedFiles(const std::string& result, size_t fileOffset);

}  // namespace tavo
