// Whole-file reads, all-or-nothing writes and folders: the program's file access, provided by each platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// Reads the whole file; false when it cannot be opened or read completely, or
// when it is not a regular file (a folder, a device, a pipe), which is never
// opened for a read that could wait.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

// Writes `size` bytes as the new content of `path`. The data goes into a new
// file of a unique name in the same folder first, created exclusively, which
// replaces the target in one step only when all of it was written; on every
// failure it is removed again and the previous file stays as it was. An
// existing target keeps its permissions; one that may not be written (or is
// not a regular file) is refused as opening it for writing would be.
// Throws Error("Cannot create file <path>") when the file cannot be created or
// replaced and Error("Stream write error") when fewer bytes than asked were stored.
void WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size);

// The same for content held in several pieces, written in order (written by each platform).
struct ByteSpan {
    const uint8_t* data;
    size_t size;
};
void WriteFileReplacing(const std::string& path, const std::vector<ByteSpan>& pieces);

// Makes the folder `path` when it is missing (its parent must exist); true when it is there afterwards.
bool MakeFolder(const std::string& path);

// A candidate name for the temporary file that replaces `target`: in the
// target's folder, short whatever the target's name is, random for every call.
std::string TemporaryNameBeside(const std::string& target);

}  // namespace tavo
