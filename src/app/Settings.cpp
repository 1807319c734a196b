#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <charconv>
#include <cstdint>

namespace patchsmith::app {

bool readBool(std::string_view text, bool defaultValue) {
    if (text.empty()) return defaultValue;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const auto [end, ec] = std::from_chars(first + 2, last, value, 16);
        if (ec != std::errc() || end != last) return defaultValue;
        return value != 0;
    }
    if (*first == '+') ++first; // a leading plus sign is a number too
    if (first == last || *first == '+') return defaultValue;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, 10);
    if (ec != std::errc() || end != last) return defaultValue;
    return value != 0;
}

const char* boolText(bool value) { return value ? "1" : "0"; }

int readNumber(std::string_view text, int min, int max, int defaultValue) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return defaultValue;
    return value >= min && value <= max ? value : defaultValue;
}

QString directoryOfExecutable(const QString& applicationFilePath) {
    const QString dir = QFileInfo(applicationFilePath).absolutePath();
    QString native = QDir::toNativeSeparators(dir);
    const bool isRoot = QDir(dir).isRoot();
    while (!isRoot && native.size() > 1 && (native.endsWith(QLatin1Char('/')) || native.endsWith(QLatin1Char('\\'))))
        native.chop(1);
    return native;
}

QString defaultDirectory(const QString& executableDir, bool executableDirWritable, const QString& documentsDir) {
    if (executableDirWritable || documentsDir.isEmpty()) return executableDir;
    return QDir::toNativeSeparators(documentsDir);
}

QString defaultDirectoryOnDisk(const QString& executableDir, const QString& documentsDir) {
    const QFileInfo info(executableDir);
    return defaultDirectory(executableDir, info.isDir() && info.isWritable(), documentsDir);
}

namespace {

std::string readString(QSettings& store, const char* name, const std::string& fallback = {}) {
    const QVariant v = store.value(QLatin1String(name));
    if (!v.isValid()) return fallback;
    // A hand-edited file may hold a text with commas, which the store reads
    // as a list: it is still the one text that was written.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(',')).toStdString();
    return v.toString().toStdString();
}

bool readStoredBool(QSettings& store, const char* name) {
    const QVariant v = store.value(QLatin1String(name));
    if (!v.isValid()) return true;
    return readBool(v.toString().toStdString(), true);
}

} // namespace

void readSettings(QSettings& store, const std::string& defaultDir, std::string& midiIn, std::string& midiOut,
                  SettingsValues& values) {
    store.beginGroup(QLatin1String(kSettingsGroup));
    midiIn = readString(store, key::MidiIn);
    midiOut = readString(store, key::MidiOut);
    values.LastDir = readString(store, key::LastDir);
    if (values.LastDir.empty()) values.LastDir = defaultDir;
    values.PerfBankDir = readString(store, key::PerfBankDir);
    if (values.PerfBankDir.empty()) values.PerfBankDir = defaultDir;
    values.PerfListFile = readString(store, key::PerfList);
    values.ShowHints = readStoredBool(store, key::ShowHints);
    values.SynthKnobs = readStoredBool(store, key::SynthKnobs);
    values.ProgramChanges = readStoredBool(store, key::ProgramChanges);
    const SettingsValues defaults;
    values.TestNotePitch = readNumber(readString(store, key::TestNotePitch), 0, 127, defaults.TestNotePitch);
    values.TestNoteVelocity = readNumber(readString(store, key::TestNoteVelocity), 1, 127, defaults.TestNoteVelocity);
    values.TestNoteLength = readNumber(readString(store, key::TestNoteLength), 50, 10000, defaults.TestNoteLength);
    store.endGroup();
}

QSettings::Status writeSettings(QSettings& store, const std::string& midiIn, const std::string& midiOut,
                                const SettingsValues& values) {
    store.beginGroup(QLatin1String(kSettingsGroup));
    auto put = [&](const char* name, const std::string& text) {
        store.setValue(QLatin1String(name), QString::fromStdString(text));
    };
    put(key::MidiIn, midiIn);
    put(key::MidiOut, midiOut);
    put(key::LastDir, values.LastDir);
    put(key::PerfBankDir, values.PerfBankDir);
    put(key::PerfList, values.PerfListFile);
    put(key::ShowHints, boolText(values.ShowHints));
    put(key::SynthKnobs, boolText(values.SynthKnobs));
    put(key::ProgramChanges, boolText(values.ProgramChanges));
    put(key::TestNotePitch, std::to_string(values.TestNotePitch));
    put(key::TestNoteVelocity, std::to_string(values.TestNoteVelocity));
    put(key::TestNoteLength, std::to_string(values.TestNoteLength));
    store.endGroup();
    store.sync();
    return store.status();
}

std::string settingsNotSavedText(const QString& file, QSettings::Status status) {
    const char* why = status == QSettings::FormatError ? "the file is damaged" : "the file cannot be written";
    return "Unable to save the settings to <" + QDir::toNativeSeparators(file).toStdString() + "> : " + why;
}

} // namespace patchsmith::app
