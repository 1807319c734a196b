#pragma once
// The eight persisted settings: their names, string forms and defaults, the
// rule by which a stored boolean is read, and the order in which they are
// read at start and written back at shutdown. The store is a QSettings
// (organisation "Qarn Inc.", application "Patchsmith", group "CS1x"; on
// Windows the registry key Software\Qarn Inc.\Patchsmith\CS1x).

#include "ui/AppContext.h"

#include <QSettings>
#include <QString>

#include <string>
#include <string_view>

namespace patchsmith::app {

inline constexpr const char* kOrganisation = "Qarn Inc.";
inline constexpr const char* kApplicationName = "Patchsmith";
inline constexpr const char* kSettingsGroup = "CS1x";
// The name of the installed menu entry (com.qarn.Patchsmith.desktop), by
// which desktops give the window its icon.
inline constexpr const char* kDesktopFileName = "com.qarn.Patchsmith";

namespace key {
inline constexpr const char* MidiIn = "Midi-IN";
inline constexpr const char* MidiOut = "Midi-OUT";
inline constexpr const char* LastDir = "Last-Dir";
inline constexpr const char* PerfBankDir = "PerfBank-Dir";
inline constexpr const char* PerfList = "AktPerfList";
inline constexpr const char* ShowHints = "ShowHints";
inline constexpr const char* SynthKnobs = "SynthKnobs";
inline constexpr const char* ProgramChanges = "ProgramChanges";
// Beside the eight: the test note.
inline constexpr const char* TestNotePitch = "TestNotePitch";
inline constexpr const char* TestNoteVelocity = "TestNoteVelocity";
inline constexpr const char* TestNoteLength = "TestNoteLength";
} // namespace key

// A stored boolean: the text read as an integer ("0x"/"0X" followed by
// hexadecimal digits when longer than 2 characters), any non-zero number is
// true, and text that is no (32-bit) number yields the default.
bool readBool(std::string_view text, bool defaultValue);
// "1" or "0".
const char* boolText(bool value);

// The executable's directory as the settings show it: no trailing separator,
// except for a root ("/", "C:\").
QString directoryOfExecutable(const QString& applicationFilePath);

// Default of "Last-Dir" and "PerfBank-Dir": the executable's directory, or
// the user's documents directory when the executable's directory cannot be
// written (an installed program), since every save there would fail.
QString defaultDirectory(const QString& executableDir, bool executableDirWritable, const QString& documentsDir);
// The same with the writability looked up on disk.
QString defaultDirectoryOnDisk(const QString& executableDir, const QString& documentsDir);

// A stored number within min..max; anything else (missing, no number, out of
// range) yields the default.
int readNumber(std::string_view text, int min, int max, int defaultValue);

// Reads the eight values in their fixed order, then the test note's. `defaultDir` replaces a
// missing or empty "Last-Dir" and "PerfBank-Dir".
void readSettings(QSettings& store, const std::string& defaultDir, std::string& midiIn, std::string& midiOut,
                  SettingsValues& values);
// Writes the five strings, then the three booleans as "0"/"1", in order, then
// the test note's numbers, and flushes them to the store: NoError, or why they could not be written.
QSettings::Status writeSettings(QSettings& store, const std::string& midiIn, const std::string& midiOut,
                                const SettingsValues& values);
// The message for settings that could not be written to `file`.
std::string settingsNotSavedText(const QString& file, QSettings::Status status);

} // namespace patchsmith::app
