// Writes the seed corpora of the fuzz targets into DIR/<target>/ from the
// real code: records and banks as the program writes them, answers as the
// virtual CS1x sends them, a settings file as shutdown writes it.
//
//   make_fuzz_corpus DIR

#include "ReceiveFormat.h"
#include "app/Settings.h"
#include "model/PerformanceImage.h"
#include "storage/PerformanceText.h"
#include "storage/RecordImage.h"
#include "synth/VirtualCs1x.h"

#include <QSettings>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace patchsmith;
namespace fs = std::filesystem;
using Bytes = std::vector<Byte>;

namespace {

fs::path root;

void put(const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The seven answers the instrument gives for user performance n, back to back: a .SYX file.
Bytes userDumps(const synth::VirtualCs1x& cs1x, int n) {
    Bytes out;
    const Byte nn = static_cast<Byte>(n);
    const Address blocks[] = {{0x70, nn, 0x00}, {0x70, nn, 0x30}, {0x70, nn, 0x50}, {0x71, nn, 0x00},
                              {0x72, nn, 0x00}, {0x73, nn, 0x00}, {0x74, nn, 0x00}};
    for (const Address& a : blocks) append(out, *cs1x.bulkDump(a));
    return out;
}

Bytes commonDump(const synth::VirtualCs1x& cs1x, int n) {
    return *cs1x.bulkDump(Address{0x70, static_cast<Byte>(n), 0x00});
}

Bytes currentDumps(const synth::VirtualCs1x& cs1x) {
    Bytes out;
    const Address blocks[] = {{0x60, 0, 0x00}, {0x60, 0, 0x30}, {0x60, 0, 0x50}, {0x60, 1, 0x00},
                              {0x60, 2, 0x00}, {0x60, 3, 0x00}, {0x60, 4, 0x00}};
    for (const Address& a : blocks) append(out, *cs1x.bulkDump(a));
    return out;
}

PerformanceRecord recordOf(const Bytes& dumps) {
    PerformanceRecord r;
    std::copy(dumps.begin(), dumps.begin() + kRecordBytes, r.bytes().begin());
    return r;
}

Bytes bytesOf(const PerformanceRecord& r) { return Bytes(r.bytes().begin(), r.bytes().end()); }

// ---- receive: header and events of ReceiveFormat.h
namespace rx = fuzz::receive;

Bytes header(rx::Command c, Byte parameter, Byte switches = 0, Byte pending = 0, Byte number = 0, Byte blocks = 0) {
    return {c, parameter, switches, pending, number, blocks};
}

// An Answer event carrying the message's bytes between F0 and F7.
void answer(Bytes& out, const Bytes& message) {
    out.push_back(rx::Answer);
    out.push_back(static_cast<Byte>(message.size() - 2));
    out.insert(out.end(), message.begin() + 1, message.end() - 1);
}

void answers(Bytes& out, const Bytes& dumps) {
    std::size_t at = 0;
    while (at < dumps.size()) {
        std::size_t end = at;
        while (dumps[end] != 0xF7) ++end;
        answer(out, Bytes(dumps.begin() + static_cast<long>(at), dumps.begin() + static_cast<long>(end) + 1));
        at = end + 1;
    }
}

void shortEvent(Bytes& out, Byte status, Byte d1, Byte d2) { append(out, {rx::Short, status, d1, d2}); }

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    root = argv[1];
    synth::VirtualCs1x cs1x;

    // ---- .SYX: as the program saves the actual performance, and as the instrument sends one.
    PerformanceImage image;
    image.fillDefaults();
    const PerformanceRecord initPerf = makeRecordFromImage(image, 0);
    put("syx_file", "InitPerf.SYX", bytesOf(initPerf));
    const Bytes perf9 = userDumps(cs1x, 9);
    put("syx_file", "user010.SYX", perf9);
    put("syx_file", "short.SYX", Bytes(perf9.begin(), perf9.begin() + 20));

    // ---- .PFB: empty, two records, and one numbered above 127.
    const Bytes bankHeader = text("Patchsmith PFB");
    put("pfb_file", "empty.PFB", bankHeader);
    Bytes two = bankHeader;
    append(two, userDumps(cs1x, 0));
    append(two, userDumps(cs1x, 5));
    put("pfb_file", "two.PFB", two);
    PerformanceRecord foreign = recordOf(userDumps(cs1x, 7));
    foreign.bytes()[kRecordNumberOffset] = 200;
    Bytes damaged = bankHeader;
    append(damaged, bytesOf(foreign));
    append(damaged, bytesOf(initPerf));
    put("pfb_file", "foreign.PFB", damaged);

    // ---- .PFN: the 128 lines of the factory names, and three lines ended by LF only.
    Bytes list;
    for (int n = 0; n < 128; ++n) {
        append(list, text(PerformanceLine(recordOf(userDumps(cs1x, n)))));
        append(list, {'\r', '\n'});
    }
    put("pfn_file", "factory.PFN", list);
    put("pfn_file", "short.PFN", text("001  PF GrandPno\n002\n003  --  Init"));

    // ---- file names: name, extension choice, common blocks, claims.
    {
        const Bytes common0 = Bytes(perf9.begin(), perf9.begin() + 57);
        Bytes common1 = Bytes(initPerf.bytes().begin(), initPerf.bytes().begin() + 57);
        common1[17] = 10; // "PI ", with its blank
        Bytes a;
        const std::string name = "C:\\dir.x\\bank";
        a.push_back(static_cast<Byte>(name.size()));
        append(a, text(name));
        a.push_back(1);
        append(a, common0);
        a.push_back(0);
        append(a, {0, 0, 0, 0});
        put("file_names", "bank_path", a);
        Bytes b;
        const std::string perf = "/home/u/perf.syx";
        b.push_back(static_cast<Byte>(perf.size()));
        append(b, text(perf));
        b.push_back(0);
        append(b, common1);
        b.push_back(127);
        append(b, common0);
        b.push_back(3);
        append(b, {0, 1, 0, 1, 1, 1});
        put("file_names", "two_performances", b);
    }

    // ---- receive: each chain with the instrument's answers, and damaged input.
    {
        Bytes fetch = header(rx::FetchPerformance, 4, rx::ProgramChanges);
        cs1x.recall(4);
        answers(fetch, currentDumps(cs1x));
        put("receive", "fetch", fetch);

        Bytes names = header(rx::Names, 0);
        for (int n = 0; n < 3; ++n) answers(names, commonDump(cs1x, n));
        put("receive", "names", names);

        Bytes namesEnd = header(rx::Names, 0, rx::SetNumber, 0, 126);
        for (int n = 126; n < 128; ++n) answers(namesEnd, commonDump(cs1x, n));
        put("receive", "names_end", namesEnd);

        Bytes single = header(rx::SingleToDisk, 9);
        answers(single, perf9);
        put("receive", "single_to_disk", single);

        Bytes bank = header(rx::AllToBank, 0, rx::SetNumber, 0, 126);
        answers(bank, userDumps(cs1x, 126));
        answers(bank, userDumps(cs1x, 127));
        put("receive", "all_to_bank", bank);

        Bytes files = header(rx::AllToFiles, 0);
        answers(files, userDumps(cs1x, 0));
        answers(files, userDumps(cs1x, 1));
        files.push_back(rx::Timeout);
        put("receive", "all_to_files", files);

        Bytes identity = header(rx::Identity, 0);
        const Bytes request{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};
        answer(identity, cs1x.receive(request).front());
        put("receive", "identity", identity);

        Bytes shorts = header(rx::Idle, 0, rx::ProgramChanges);
        shortEvent(shorts, 0x90, 60, 100);
        shortEvent(shorts, 0x99, 60, 0);
        shortEvent(shorts, 0xB0, 74, 0);
        shortEvent(shorts, 0xE0, 0, 64);
        shortEvent(shorts, 0xFE, 0, 0);
        shortEvent(shorts, 0xC0, 5, 0);
        cs1x.recall(5);
        answers(shorts, currentDumps(cs1x));
        append(shorts, {rx::OtherInput, 0x90, 1, 1});
        put("receive", "short_messages", shorts);

        Bytes damagedRx = header(rx::FetchPerformance, 0, rx::ProgramChanges);
        damagedRx.push_back(rx::SysEx);
        damagedRx.push_back(16);
        append(damagedRx, Bytes(16, 0x41));
        append(damagedRx, {rx::LongSysEx, 0x28, 0x23, 0x7F}); // 9000 bytes
        append(damagedRx, {rx::Run, rx::SingleToDisk, 3});
        append(damagedRx, {rx::Timeout});
        put("receive", "wrong_sizes", damagedRx);
    }

    // ---- virtual CS1x: the messages the editor sends, and an answer sent back.
    {
        Bytes v;
        append(v, {6, 0x00});                   // identity request
        append(v, {2, 0x00, 0x60, 0x00, 0x00}); // dump requests
        append(v, {2, 0x00, 0x60, 0x00, 0x30});
        append(v, {2, 0x00, 0x60, 0x00, 0x50});
        append(v, {2, 0x00, 0x60, 0x02, 0x00});
        append(v, {2, 0x00, 0x70, 0x05, 0x30});
        append(v, {2, 0x00, 0x74, 0x7F, 0x00});
        append(v, {3, 0x00, 0x60, 0x02, 0x13, 0x58}); // AEGAtkTime of layer 2
        append(v, {3, 0x01, 0x60, 0x00, 0x26, 0x00, 0x65});
        append(v, {1, 2, 0xB0, 0x00, 0x3F, 1, 2, 0xB0, 0x20, 0x41, 1, 1, 0xC0, 0x05});
        const Bytes dump = *cs1x.bulkDump(Address{0x60, 0x00, 0x50});
        v.push_back(0);
        v.push_back(static_cast<Byte>(dump.size()));
        append(v, dump);
        append(v, {4, 0x00, 0x71, 0x03, 0x00, 41});
        append(v, Bytes(41, 0x40));
        append(v, {5, 0, 74, 100, 65}); // knob 74 turned to 100 on channel 1
        put("virtual_cs1x", "editor_messages", v);
    }

    // ---- settings: as shutdown writes them, and texts a hand may have put there.
    {
        const fs::path written = root / "settings" / "written.conf";
        fs::create_directories(written.parent_path());
        fs::remove(written);
        {
            QSettings store(QString::fromStdString(written.string()), QSettings::IniFormat);
            SettingsValues values;
            values.LastDir = "/home/u/CS1x";
            values.PerfBankDir = "/home/u/CS1x/banks";
            values.PerfListFile = "/home/u/CS1x/names.PFN";
            values.SynthKnobs = false;
            app::writeSettings(store, "CS1x In", "CS1x Out", values);
        }
        put("settings", "hand_edited.conf",
            text("[CS1x]\nMidi-IN=USB MIDI, port 1\nLast-Dir=\nSynthKnobs=0x0\nShowHints=yes\nProgramChanges=+7\n"
                 "AktPerfList=\"/a b/names.PFN\"\n"));
    }
    return 0;
}
