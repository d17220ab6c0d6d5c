// Whole-file reads and all-or-nothing writes, the only file access of the imaging code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// Reads the whole file; false when it cannot be opened or read completely.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

// Writes `size` bytes as the new content of `path`. The data goes into a
// temporary file beside it first, which replaces the target only when all of
// it was written, so a failed write leaves the previous file as it was.
// Throws Error("Cannot create file <path>") when the file cannot be created and
// Error("Stream write error") when fewer bytes than asked were stored.
void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size);

// The same for content held in several pieces, written in order.
struct ByteSpan {
    const uint8_t* data;
    size_t size;
};
void WriteFileReplacing(const std::string& path, const std::vector<ByteSpan>& pieces);

}  // namespace tavo
