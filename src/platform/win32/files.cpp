// Reading and replacing files and making folders on Windows: only disk files are read, and a new
// file of a unique name is moved over the target, keeping the old one until the new one is complete.
#include <windows.h>

#include <new>
#include <string>

#include "base/error.h"
#include "base/files.h"

namespace tavo {
namespace {

// Chunks small enough for one ReadFile or WriteFile call.
constexpr size_t kChunk = 1u << 30;

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// The temporary file, created exclusively under a fresh name; deleted again
// unless it has replaced the target.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) {
        for (int attempt = 0; attempt < 100 && !file_.Valid(); ++attempt) {
            name_ = TemporaryNameBeside(target);
            file_.Reset(CreateFileA(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            const DWORD error = GetLastError();
            if (!file_.Valid() && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
        }
        if (!file_.Valid()) name_.clear();
    }
    ~TemporaryFile() {
        file_.Close();
        if (!name_.empty()) DeleteFileA(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Created() const { return file_.Valid(); }
    HANDLE Get() const { return file_.Get(); }
    bool Close() { return file_.Close(); }
    bool MoveOver(const std::string& target) {
        if (!MoveFileExA(name_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        name_.clear();
        return true;
    }

private:
    Handle file_{INVALID_HANDLE_VALUE};
    std::string name_;
};

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    while (size > 0) {
        const DWORD ask = static_cast<DWORD>(size < kChunk ? size : kChunk);
        DWORD written = 0;
        if (!WriteFile(file, data, ask, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

bool ReadAll(HANDLE file, uint8_t* data, size_t size) {
    while (size > 0) {
        const DWORD ask = static_cast<DWORD>(size < kChunk ? size : kChunk);
        DWORD got = 0;
        if (!ReadFile(file, data, ask, &got, nullptr) || got == 0) return false;
        data += got;
        size -= got;
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Consoles, pipes and other devices are not pictures.
    if (!file.Valid() || GetFileType(file.Get()) != FILE_TYPE_DISK) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > static_cast<size_t>(-1))
        return false;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ReadAll(file.Get(), bytes.data(), bytes.size());
}

void WriteFileReplacing(const std::string& path, const std::vector<ByteSpan>& pieces) {
    const Error cannotCreate("Cannot create file " + path);
    // A read-only file or a folder could not be opened for writing either.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        throw cannotCreate;
    TemporaryFile temporary(path);
    if (!temporary.Created()) throw cannotCreate;
    bool written = true;
    for (const ByteSpan& piece : pieces)
        written = written && WriteAll(temporary.Get(), piece.data, piece.size);
    if (!temporary.Close() || !written) throw Error("Stream write error");
    if (!temporary.MoveOver(path)) throw cannotCreate;
}

bool MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tavo
