#pragma once
// The program's command line, and what kind of file it names.
//
//   patchsmith [--virtual-synth] [--screenshot DIR] [FILE]

#include <QString>
#include <QStringList>

namespace patchsmith::app {

inline constexpr const char* kUsage = "usage: patchsmith [--virtual-synth] [--screenshot DIR] [FILE]\n";

struct CommandLine {
    bool virtualSynth = false;
    QString screenshotDir;
    // The file to open once the window is shown; empty for none.
    QString file;
    bool help = false;
    // Why the command line cannot be used; empty when it can.
    QString error;
};

// `args` as QCoreApplication::arguments() gives them, the program first.
// "--" ends the options, so that a file whose name begins with "-" can be
// named.
CommandLine parseCommandLine(const QStringList& args);

enum class FileKind { Performance, Bank, NameList, Other };

// By the extension .SYX, .PFB or .PFN in any case; a file with none of them
// by its first bytes: the header text of a bank, or the start of a CS1x bulk
// dump for a performance. A file that cannot be read is Other.
FileKind kindOfFile(const QString& path);

// The message for a file that cannot be opened at all (missing, a folder,
// unreadable); empty when it can be read.
QString unreadableFileMessage(const QString& path);
// The message for a file of another kind.
QString otherFileMessage(const QString& path);

} // namespace patchsmith::app
