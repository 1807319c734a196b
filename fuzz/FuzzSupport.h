#pragma once
// Helpers of the fuzz targets: a checked condition that stops the run, a
// reader over the input bytes, and a temporary directory per input that is
// removed again, so that a target writes nowhere else and every input starts
// from an empty directory.

#include "model/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace patchsmith::fuzz {

// A property of the code that must hold for every input: a failure is a
// finding, reported like a crash.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                              \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// Reads the input front to back; past its end every byte reads as 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    Byte byte() { return pos_ < size_ ? data_[pos_++] : Byte{0}; }
    int word() { return byte() | (byte() << 8); }
    // Up to n bytes (fewer at the end of the input).
    std::vector<Byte> bytes(std::size_t n) {
        const std::size_t k = n < remaining() ? n : remaining();
        std::vector<Byte> out(data_ + pos_, data_ + pos_ + k);
        pos_ += k;
        return out;
    }
    std::vector<Byte> rest() { return bytes(remaining()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The temporary directory of one input. All inputs of a process share one
// directory (made on first use in $TMPDIR and removed when the process
// ends), emptied before and after each input.
class TempDir {
public:
    TempDir() : path_(processDir()) { clear(); }
    ~TempDir() { clear(); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    std::vector<std::filesystem::path> entries() const {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(path_)) out.push_back(e.path());
        return out;
    }

private:
    void clear() const {
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            std::error_code ec;
            std::filesystem::remove_all(e.path(), ec);
        }
    }

    static const std::filesystem::path& processDir() {
        // Never destroyed, so that the removal at exit can still read it.
        static const std::filesystem::path* dir = [] {
            std::string pattern = (std::filesystem::temp_directory_path() / "patchsmith-fuzz-XXXXXX").string();
            if (!::mkdtemp(pattern.data())) {
                std::perror("mkdtemp");
                std::abort();
            }
            return new std::filesystem::path(pattern);
        }();
        static const bool removedAtExit = std::atexit([] {
                                              std::error_code ec;
                                              std::filesystem::remove_all(*dir, ec);
                                          }) == 0;
        (void)removedAtExit;
        return *dir;
    }

    const std::filesystem::path& path_;
};

inline void writeFile(const std::string& path, std::span<const Byte> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

inline std::vector<Byte> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<Byte>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A long message as it may go out on the cable: F0, data bytes with bit 7
// clear, F7.
inline bool wellFramed(std::span<const Byte> m) {
    if (m.size() < 2 || m.front() != 0xF0 || m.back() != 0xF7) return false;
    for (std::size_t i = 1; i + 1 < m.size(); ++i)
        if (m[i] & 0x80) return false;
    return true;
}

} // namespace patchsmith::fuzz
