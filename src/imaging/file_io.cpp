// Whole-file reads and the write-then-replace of output files.
#include "imaging/file_io.h"

#include <cstdio>
#include <memory>

#include "base/error.h"
#include "base/replace_file.h"

namespace tavo {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    try {
        bytes.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
    // A file that grew while it was read still counts as what was there at the start.
    return true;
}

void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size) {
    WriteFileReplacing(path, std::vector<ByteSpan>{{data, size}});
}

void WriteFileReplacing(const std::string& path, const std::vector<ByteSpan>& pieces) {
    const std::string temporary = path + ".tmp";
    FilePtr file(std::fopen(temporary.c_str(), "wb"));
    if (!file) throw Error("Cannot create file " + path);
    bool written = true;
    for (const ByteSpan& piece : pieces)
        written =
            written && (piece.size == 0 || std::fwrite(piece.data, 1, piece.size, file.get()) == piece.size);
    written = written && std::fflush(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        throw Error("Stream write error");
    }
    if (!ReplaceFileWith(temporary, path)) {
        std::remove(temporary.c_str());
        throw Error("Cannot create file " + path);
    }
}

}  // namespace tavo
