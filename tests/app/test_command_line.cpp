// The program's command line and the kind of file it names.

#include "app/CommandLine.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace patchsmith::app;

namespace {

CommandLine parse(std::initializer_list<const char*> words) {
    QStringList args{QStringLiteral("patchsmith")};
    for (const char* w : words) args << QString::fromUtf8(w);
    return parseCommandLine(args);
}

TEST(CommandLine, OptionsAndOneFileInAnyOrder) {
    const CommandLine none = parse({});
    EXPECT_FALSE(none.virtualSynth);
    EXPECT_TRUE(none.screenshotDir.isEmpty());
    EXPECT_TRUE(none.file.isEmpty());
    EXPECT_FALSE(none.help);
    EXPECT_TRUE(none.error.isEmpty());

    const CommandLine before = parse({"--virtual-synth", "Bank.PFB"});
    EXPECT_TRUE(before.virtualSynth);
    EXPECT_EQ(before.file, QStringLiteral("Bank.PFB"));
    EXPECT_TRUE(before.error.isEmpty());

    const CommandLine after = parse({"PF_GrandPno.SYX", "--screenshot", "shots", "--virtual-synth"});
    EXPECT_EQ(after.file, QStringLiteral("PF_GrandPno.SYX"));
    EXPECT_EQ(after.screenshotDir, QStringLiteral("shots"));
    EXPECT_TRUE(after.virtualSynth);
    EXPECT_TRUE(after.error.isEmpty());

    // The directory of --screenshot is taken as it is, even one like an option.
    EXPECT_EQ(parse({"--screenshot", "--virtual-synth"}).screenshotDir, QStringLiteral("--virtual-synth"));
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
}

TEST(CommandLine, DoubleDashLetsAFileBeginWithADash) {
    const CommandLine c = parse({"--", "-odd name.SYX"});
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_EQ(c.file, QStringLiteral("-odd name.SYX"));
    // After "--" even an option's name is a file.
    EXPECT_EQ(parse({"--", "--virtual-synth"}).file, QStringLiteral("--virtual-synth"));
    EXPECT_FALSE(parse({"--", "--virtual-synth"}).virtualSynth);
    // A lone "-" is a name, not an option.
    EXPECT_EQ(parse({"-"}).file, QStringLiteral("-"));
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
    EXPECT_EQ(parse({"--screenshot"}).error, QStringLiteral("--screenshot needs a directory"));
    EXPECT_EQ(parse({"--virtual"}).error, QStringLiteral("unknown option '--virtual'"));
    EXPECT_EQ(parse({"-v"}).error, QStringLiteral("unknown option '-v'"));
    EXPECT_EQ(parse({"a.SYX", "b.SYX"}).error, QStringLiteral("only one file can be opened at a time"));
    EXPECT_EQ(parse({""}).error, QStringLiteral("the file name is empty"));
}

struct KindFixture : ::testing::Test {
    QTemporaryDir temp;
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = temp.filePath(QString::fromUtf8(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

TEST_F(KindFixture, ExtensionDecidesInAnyCase) {
    // The extension wins over the content: the menu command judges the rest.
    EXPECT_EQ(kindOfFile(write("a.SYX", "Patchsmith PFB")), FileKind::Performance);
    EXPECT_EQ(kindOfFile(write("b.syx", "")), FileKind::Performance);
    EXPECT_EQ(kindOfFile(write("c.Pfb", "")), FileKind::Bank);
    EXPECT_EQ(kindOfFile(write("d.pfn", "")), FileKind::NameList);
    EXPECT_EQ(kindOfFile(write("e.PFN", "")), FileKind::NameList);
    // Not there yet: the extension is all there is to go by.
    EXPECT_EQ(kindOfFile(temp.filePath("missing.SYX")), FileKind::Performance);
}

TEST_F(KindFixture, ContentDecidesWithoutAKnownExtension) {
    EXPECT_EQ(kindOfFile(write("bank.bin", QByteArray("Patchsmith PFB") + QByteArray(317, '\0'))), FileKind::Bank);
    EXPECT_EQ(kindOfFile(write("dump", QByteArray("\xF0\x43\x00\x4B\x00\x2E", 6))), FileKind::Performance);
    // Near misses: another maker, another model, the header in other case.
    EXPECT_EQ(kindOfFile(write("roland", QByteArray("\xF0\x41\x10\x42", 4))), FileKind::Other);
    EXPECT_EQ(kindOfFile(write("other-yamaha", QByteArray("\xF0\x43\x00\x4C", 4))), FileKind::Other);
    EXPECT_EQ(kindOfFile(write("lower", "patchsmith pfb")), FileKind::Other);
    EXPECT_EQ(kindOfFile(write("short", "Patchsmith PF")), FileKind::Other);
    EXPECT_EQ(kindOfFile(write("empty.txt", "")), FileKind::Other);
    EXPECT_EQ(kindOfFile(temp.filePath("missing")), FileKind::Other);
    EXPECT_EQ(kindOfFile(temp.path()), FileKind::Other);
}

TEST_F(KindFixture, UnreadableFilesHaveAMessageReadableOnesNone) {
    EXPECT_TRUE(unreadableFileMessage(write("ok.SYX", "x")).isEmpty());
    const QString missing = temp.filePath("none.PFB");
    EXPECT_EQ(unreadableFileMessage(missing),
              QStringLiteral("Cannot open \"%1\": there is no such file.").arg(missing));
    EXPECT_EQ(unreadableFileMessage(temp.path()),
              QStringLiteral("Cannot open \"%1\": it is a folder, not a file.").arg(temp.path()));
}

} // namespace
