// Fuzz target: a .PFN names list as "Open > Performance-names" and start-up
// read it, and written back by "Save > Performance-names".

#include "FuzzSupport.h"
#include "storage/NameListFile.h"

#include <algorithm>

using namespace patchsmith;
using namespace patchsmith::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TempDir dir;
    const std::string path = dir.file("Input.PFN");
    writeFile(path, std::span<const Byte>(data, size));

    std::vector<std::string> rows{"untouched"};
    FUZZ_CHECK(readNameListFile(path, rows).ok);
    // Always the list's 128 rows, each one line of bounded length.
    FUZZ_CHECK(rows.size() == 128);
    for (const std::string& row : rows) {
        FUZZ_CHECK(row.size() <= 256);
        FUZZ_CHECK(row.find('\n') == std::string::npos);
    }
    // The first row is the file's first line, up to its end or the cap.
    const std::size_t firstEnd = std::find(data, data + size, '\n') - data;
    if (firstEnd > 0 && firstEnd <= 256 && data[firstEnd - 1] != '\r')
        FUZZ_CHECK(rows[0] == std::string(reinterpret_cast<const char*>(data), firstEnd));

    // Written and read again: the same rows, with a CR inside a row (which
    // would break the line) turned into a blank.
    const std::string saved = dir.file("Saved.PFN");
    FUZZ_CHECK(writeNameListFile(saved, rows).ok);
    const std::vector<Byte> bytes = readFile(saved);
    FUZZ_CHECK(std::count(bytes.begin(), bytes.end(), '\n') == 128);
    std::vector<std::string> again;
    FUZZ_CHECK(readNameListFile(saved, again).ok);
    FUZZ_CHECK(again.size() == rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string expected = rows[i];
        std::replace(expected.begin(), expected.end(), '\r', ' ');
        FUZZ_CHECK(again[i] == expected);
    }
    return 0;
}
