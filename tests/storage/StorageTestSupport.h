#pragma once
// Shared helpers of the storage tests: a temporary directory per test, file
// bytes in and out, records with chosen number, category and name, and the
// recording Notifier.

#include "../support/RecordingNotifier.h"
#include "model/PerformanceRecord.h"
#include "storage/RecordImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace patchsmith::test {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("patchsmith-storage-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path(std::string_view name) const { return (dir_ / std::string(name)).string(); }
    // Names of the entries of the temporary directory (to see left-overs).
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        return names;
    }

    std::filesystem::path dir_;
};

inline void writeBytes(const std::string& path, const std::vector<Byte>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<Byte> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<Byte>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<Byte> bytesOf(std::string_view text) { return std::vector<Byte>(text.begin(), text.end()); }

inline void append(std::vector<Byte>& out, const PerformanceRecord& r) {
    out.insert(out.end(), r.bytes().begin(), r.bytes().end());
}

// A well-formed record: default image data, the given name (8 characters,
// blank-padded), category and record number, plus a marker byte in layer 4
// so records can be told apart.
inline PerformanceRecord makeRecord(int number, int category, std::string_view name, Byte marker = 0) {
    PerformanceImage image;
    image.fillDefaults();
    for (int i = 0; i < 8; ++i)
        image.setData(Block::Common, i,
                      static_cast<Byte>(i < static_cast<int>(name.size()) ? name[static_cast<std::size_t>(i)] : ' '));
    image.setData(Block::Common, 8, static_cast<Byte>(category));
    image.setLayerData(4, 2, marker);
    PerformanceRecord r = makeRecordFromImage(image, number & 0x7F);
    r.bytes()[kRecordNumberOffset] = static_cast<Byte>(number); // may be above 127 on purpose
    return r;
}

} // namespace patchsmith::test
