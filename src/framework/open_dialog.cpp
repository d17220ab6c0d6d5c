// Running the open-file dialog through its port and reading its multiple-selection result.
#include "framework/open_dialog.h"

#include <algorithm>
#include <utility>

#include "base/error.h"

namespace tavo {

bool OpenDialog::Execute() {
    files_.clear();
    if (!port_) return false;
    std::optional<OpenDialogResult> result = port_->RunOpenDialog(*this);
    if (result && result->tooLong) throw Error(kTooManyFilesText);
    if (!result || result->files.empty()) return false;
    files_ = std::move(result->files);
    fileName = files_.front();
    filterIndex = result->filterIndex;
    return true;
}

namespace {

bool IsAbsoluteName(const std::string& name) {
    return (!name.empty() && name[0] == '\\') || (name.size() >= 3 && name[1] == ':' && name[2] == '\\');
}

}  // namespace

std::vector<std::string> SplitSelectedFiles(const std::string& buffer) {
    std::vector<std::string> parts;
    for (size_t begin = 0; begin < buffer.size();) {
        const size_t end = std::min(buffer.find('\0', begin), buffer.size());
        if (end == begin) break;
        parts.push_back(buffer.substr(begin, end - begin));
        begin = end + 1;
    }
    if (parts.size() <= 1) return parts;
    const std::string& folder = parts.front();
    const bool hasSeparator = !folder.empty() && folder.back() == '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(IsAbsoluteName(parts[i]) ? parts[i] : folder + (hasSeparator ? "" : "\\") + parts[i]);
    }
    return paths;
}

std::string SelectedNamesText(const std::string& result, size_t fileOffset) {
    const bool several = fileOffset > 0 && fileOffset <= result.size() && result[fileOffset - 1] == '\0';
    // One file ends at its NUL; whatever the buffer held before may follow it.
    const std::string end(several ? 2 : 1, '\0');
    const size_t at = result.find(end);
    return at == std::string::npos ? std::string() : result.substr(0, at + end.size());
}

std::optional<std::vector<std::string>> ReadSelectedFiles(const std::string& result, size_t fileOffset) {
    const std::string names = SelectedNamesText(result, fileOffset);
    if (names.empty()) return std::nullopt;
    return SplitSelectedFiles(names);
}

}  // namespace tavo
