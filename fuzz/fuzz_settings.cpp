// Fuzz target: the settings values. The input is the settings file itself
// (a QSettings ini file, as on Linux), read as start-up reads it; what was
// read is written back as shutdown writes it and must read back the same.
// The boolean rule is also fed the raw input as one stored text.

#include "FuzzSupport.h"
#include "app/Settings.h"

#include <QSettings>
#include <QString>

#include <chrono>
#include <filesystem>
#include <string_view>

using namespace patchsmith;
using namespace patchsmith::app;
using namespace patchsmith::fuzz;

namespace {

struct Read {
    std::string midiIn, midiOut;
    SettingsValues values;
};

Read readFrom(const std::string& path) {
    Read r;
    QSettings store(QString::fromStdString(path), QSettings::IniFormat);
    readSettings(store, "/default", r.midiIn, r.midiOut, r.values);
    return r;
}

bool same(const Read& a, const Read& b) {
    return a.midiIn == b.midiIn && a.midiOut == b.midiOut && a.values.LastDir == b.values.LastDir &&
           a.values.PerfBankDir == b.values.PerfBankDir && a.values.PerfListFile == b.values.PerfListFile &&
           a.values.ShowHints == b.values.ShowHints && a.values.SynthKnobs == b.values.SynthKnobs &&
           a.values.ProgramChanges == b.values.ProgramChanges;
}

// QSettings keeps the parsed file of each name for the whole process and
// parses it again only when its size or time stamp changed. The same two
// names serve every input (new names would grow that cache with each input,
// which libFuzzer takes for a leak to look into), each file stamped with a
// time of its own before it is read.
void stamp(const std::string& path) {
    static long serial = 0;
    ++serial;
    std::filesystem::last_write_time(path, std::filesystem::file_time_type(std::chrono::seconds(1000000 + serial)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool t = readBool(text, true);
    const bool f = readBool(text, false);
    // A text that is no number gives the default, whichever it is; a number
    // gives the same either way.
    FUZZ_CHECK(t || !f);
    FUZZ_CHECK(readBool(boolText(t), !t) == t);

    TempDir dir;
    const std::string in = dir.file("in.conf");
    const std::string out = dir.file("out.conf");
    writeFile(in, std::span<const Byte>(data, size));
    stamp(in);
    writeFile(out, {});
    stamp(out);

    const Read first = readFrom(in);
    // Missing or empty directories fall back to the default.
    FUZZ_CHECK(!first.values.LastDir.empty() && !first.values.PerfBankDir.empty());
    {
        QSettings store(QString::fromStdString(out), QSettings::IniFormat);
        writeSettings(store, first.midiIn, first.midiOut, first.values);
        FUZZ_CHECK(store.status() == QSettings::NoError);
    }
    stamp(out);
    const Read second = readFrom(out);
    FUZZ_CHECK(same(first, second));
    return 0;
}
