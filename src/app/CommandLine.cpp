#include "app/CommandLine.h"

#include <QFile>
#include <QFileInfo>

namespace patchsmith::app {

CommandLine parseCommandLine(const QStringList& args) {
    CommandLine c;
    bool options = true;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a == QLatin1String("--virtual-synth")) {
            c.virtualSynth = true;
        } else if (options && a == QLatin1String("--screenshot")) {
            if (i + 1 >= args.size()) {
                c.error = QStringLiteral("--screenshot needs a directory");
                return c;
            }
            c.screenshotDir = args[++i];
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            c.help = true;
        } else if (options && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            c.error = QStringLiteral("unknown option '%1'").arg(a);
            return c;
        } else if (!c.file.isEmpty()) {
            c.error = QStringLiteral("only one file can be opened at a time");
            return c;
        } else if (a.isEmpty()) {
            c.error = QStringLiteral("the file name is empty");
            return c;
        } else {
            c.file = a;
        }
    }
    return c;
}

FileKind kindOfFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toUpper();
    if (suffix == QLatin1String("SYX")) return FileKind::Performance;
    if (suffix == QLatin1String("PFB")) return FileKind::Bank;
    if (suffix == QLatin1String("PFN")) return FileKind::NameList;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return FileKind::Other;
    const QByteArray head = file.read(14);
    if (head == QByteArrayLiteral("Patchsmith PFB")) return FileKind::Bank;
    if (head.startsWith(QByteArrayLiteral("\xF0\x43\x00\x4B"))) return FileKind::Performance;
    return FileKind::Other;
}

QString unreadableFileMessage(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("Cannot open \"%1\": there is no such file.").arg(path);
    if (info.isDir()) return QStringLiteral("Cannot open \"%1\": it is a folder, not a file.").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString());
    return QString();
}

QString otherFileMessage(const QString& path) {
    return QStringLiteral("\"%1\" is neither a performance (.SYX), a performance bank (.PFB) nor a list of "
                          "performance names (.PFN); Patchsmith opens only these.")
        .arg(path);
}

} // namespace patchsmith::app
