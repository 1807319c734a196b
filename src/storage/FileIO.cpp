#include "storage/FileIO.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace patchsmith {

namespace fs = std::filesystem;

std::string saveErrorText(const std::string& path) { return "Unable to save file " + path; }
std::string openErrorText(const std::string& path) { return "Unable to open file " + path; }
std::string readErrorText(const std::string& path) { return "Unable to read file " + path; }

bool InputFile::open(const std::string& path) {
    close();
    std::error_code ec;
    if (path.empty() || fs::is_directory(fs::path(path), ec)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        close();
        return false;
    }
    const long end = std::ftell(file_);
    if (end < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        close();
        return false;
    }
    size_ = static_cast<std::uint64_t>(end);
    return true;
}

void InputFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
}

bool InputFile::read(std::span<Byte> bytes) {
    if (!file_) return false;
    if (bytes.empty()) return true;
    return std::fread(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool TempFile::create(const std::string& targetPath) {
    discard();
    failed_ = false;
    target_ = targetPath;
    const fs::path target(targetPath);
    const std::string name = target.filename().string();
    if (name.empty()) return false;

    // A hidden, randomly suffixed name in the same directory, so the final
    // rename stays on one file system; "x" refuses to reuse an existing file.
    std::random_device seed;
    std::mt19937 rng(seed());
    for (int attempt = 0; attempt < 50; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(rng()));
        const fs::path temp = target.parent_path() / ("." + name.substr(0, 64) + "." + suffix + ".tmp");
        errno = 0;
        file_ = std::fopen(temp.string().c_str(), "wbx");
        if (file_) {
            temp_ = temp.string();
            return true;
        }
        if (errno != EEXIST) break;
    }
    return false;
}

bool TempFile::write(std::span<const Byte> bytes) {
    if (!file_ || failed_) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
    return !failed_;
}

bool TempFile::commit() {
    if (!file_) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (ok) {
        std::error_code ec;
        fs::rename(fs::path(temp_), fs::path(target_), ec);
        ok = !ec;
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(fs::path(temp_), ec);
    }
    temp_.clear();
    return ok;
}

void TempFile::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) {
        std::error_code ec;
        fs::remove(fs::path(temp_), ec);
        temp_.clear();
    }
}

FileResult writeFileAtomically(const std::string& path, std::span<const Byte> bytes) {
    TempFile temp;
    if (!temp.create(path) || !temp.write(bytes) || !temp.commit()) return FileResult::failure(saveErrorText(path));
    return FileResult::success();
}

} // namespace patchsmith
