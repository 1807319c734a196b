#pragma once
// Plain binary file access shared by the file formats: whole-or-nothing
// saving through a temporary file, and reading with the size known up front.

#include "model/Bytes.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <utility>

namespace patchsmith {

// Outcome of a save or of a read that reports its own failure text. The
// message is meant for a message box and is empty on success.
struct FileResult {
    bool ok = true;
    std::string message;

    static FileResult success() { return {}; }
    static FileResult failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

std::string saveErrorText(const std::string& path); // "Unable to save file <path>"
std::string openErrorText(const std::string& path); // "Unable to open file <path>"
std::string readErrorText(const std::string& path); // "Unable to read file <path>"

// Writes `bytes` to a new temporary file beside `path` and renames it over
// `path` only once everything was written and flushed, so a failed save
// never leaves a truncated file where a good one was.
FileResult writeFileAtomically(const std::string& path, std::span<const Byte> bytes);

// A file opened for reading in binary. Directories count as not openable.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { close(); }

    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    std::uint64_t size() const { return size_; }
    // Reads exactly bytes.size() bytes; false on a short read or an error.
    bool read(std::span<Byte> bytes);

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
};

// A temporary file beside a target path, renamed over the target on commit
// and removed otherwise. Used by the whole-file saves and by transfers that
// write a file message by message.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { discard(); }

    // Creates the temporary file in the target's directory.
    bool create(const std::string& targetPath);
    bool isOpen() const { return file_ != nullptr; }
    bool write(std::span<const Byte> bytes);
    // Flushes, closes and renames over the target; on any failure the
    // temporary file is removed and the target left as it was.
    bool commit();
    // Closes and removes the temporary file; the target is untouched.
    void discard();
    const std::string& targetPath() const { return target_; }

private:
    std::FILE* file_ = nullptr;
    std::string temp_;
    std::string target_;
    bool failed_ = false;
};

} // namespace patchsmith
