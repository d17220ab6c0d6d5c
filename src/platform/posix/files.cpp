// Reading and replacing files and making folders on POSIX systems: only regular files are read,
// and a new file of a unique name is renamed over the target, which is atomic there.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "base/error.h"
#include "base/files.h"

namespace tavo {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int fd_;
};

// The temporary file, created exclusively under a fresh name (a name that is
// taken, even by a symbolic link, is never opened); removed again unless it
// has replaced the target.
class TemporaryFile {
public:
    TemporaryFile(const std::string& target, mode_t mode) {
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            name_ = TemporaryNameBeside(target);
            fd_ = open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) name_.clear();
    }
    ~TemporaryFile() {
        Close();
        if (!name_.empty()) unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Created() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || close(fd) == 0;
    }
    bool MoveOver(const std::string& target) {
        if (rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string name_;
};

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t got = read(fd, data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // Without O_NONBLOCK opening a pipe would wait for a writer.
    Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (static_cast<unsigned long long>(info.st_size) > static_cast<size_t>(-1)) return false;
    try {
        bytes.resize(static_cast<size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A file that grew while it was read still counts as what was there at the start.
    return ReadAll(file.Get(), bytes.data(), bytes.size());
}

void WriteFileReplacing(const std::string& path, const std::vector<ByteSpan>& pieces) {
    const Error cannotCreate("Cannot create file " + path);
    struct stat existing;
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0))
        throw cannotCreate;
    // A new file gets the usual permissions for new files; an existing one keeps its own.
    TemporaryFile temporary(path, exists ? S_IRUSR | S_IWUSR : 0666);
    if (!temporary.Created()) throw cannotCreate;
    if (exists && fchmod(temporary.Fd(), existing.st_mode & 0777) != 0) throw cannotCreate;
    bool written = true;
    for (const ByteSpan& piece : pieces)
        written = written && WriteAll(temporary.Fd(), piece.data, piece.size);
    if (!temporary.Close() || !written) throw Error("Stream write error");
    if (!temporary.MoveOver(path)) throw cannotCreate;
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    struct stat status;
    return errno == EEXIST && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace tavo
