// The settings values: the boolean rule, the default directories and the
// round trip through the store.

#include "app/Settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace patchsmith;
using namespace patchsmith::app;

TEST(readBool, IntegersHexadecimalAndTheDefault) {
    EXPECT_FALSE(readBool("0", true));
    EXPECT_TRUE(readBool("1", false));
    EXPECT_TRUE(readBool("-1", false));
    EXPECT_TRUE(readBool("42", false));
    EXPECT_FALSE(readBool("0x0", true));
    EXPECT_FALSE(readBool("0X00", true));
    EXPECT_TRUE(readBool("0x1F", false));
    EXPECT_TRUE(readBool("0XfF", false));
    // Not numbers: the default.
    EXPECT_TRUE(readBool("yes", true));
    EXPECT_FALSE(readBool("yes", false));
    EXPECT_TRUE(readBool("", true));
    EXPECT_TRUE(readBool("0x", true)); // too short for hexadecimal, and no number
    EXPECT_TRUE(readBool("0xZZ", true));
    EXPECT_TRUE(readBool("1a", true) && !readBool("1a", false));
    EXPECT_TRUE(readBool(" 0", true));
    EXPECT_FALSE(readBool("99999999999", false)); // past 32 bits
    EXPECT_FALSE(readBool("0x123456789", false));
    EXPECT_FALSE(readBool("false", false));
}

TEST(defaultDirectory, ExecutableDirectoryUnlessItCannotBeWritten) {
    EXPECT_EQ(defaultDirectory("/opt/patchsmith", true, "/home/u/Documents"), QStringLiteral("/opt/patchsmith"));
    EXPECT_EQ(defaultDirectory("/usr/bin", false, "/home/u/Documents"), QStringLiteral("/home/u/Documents"));
    // Nowhere better to go: keep the executable's directory.
    EXPECT_EQ(defaultDirectory("/usr/bin", false, ""), QStringLiteral("/usr/bin"));
}

TEST(defaultDirectory, LooksAtTheDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(defaultDirectoryOnDisk(dir.path(), "/docs"), dir.path());
    EXPECT_EQ(defaultDirectoryOnDisk(dir.path() + "/missing", "/docs"), QStringLiteral("/docs"));
}

TEST(directoryOfExecutable, NoTrailingSeparatorExceptTheRoot) {
    EXPECT_EQ(directoryOfExecutable("/opt/patchsmith/patchsmith"), QStringLiteral("/opt/patchsmith"));
    EXPECT_EQ(directoryOfExecutable("/patchsmith"), QStringLiteral("/"));
}

TEST(Settings, ReadAndWriteTheEightValues) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("settings.ini");
    {
        QSettings store(path, QSettings::IniFormat);
        store.beginGroup("CS1x");
        store.setValue("Midi-IN", "In A");
        store.setValue("Midi-OUT", "Out B");
        store.setValue("Last-Dir", "");
        store.setValue("PerfBank-Dir", "/banks");
        store.setValue("AktPerfList", "/lists/my.pfn");
        store.setValue("ShowHints", "0");
        store.setValue("SynthKnobs", "0x0");
        store.setValue("ProgramChanges", "yes");
        store.endGroup();
    }
    QSettings store(path, QSettings::IniFormat);
    std::string in, out;
    SettingsValues v;
    readSettings(store, "/exe", in, out, v);
    EXPECT_EQ(in, "In A");
    EXPECT_EQ(out, "Out B");
    EXPECT_EQ(v.LastDir, "/exe"); // empty stored directory: the default
    EXPECT_EQ(v.PerfBankDir, "/banks");
    EXPECT_EQ(v.PerfListFile, "/lists/my.pfn");
    EXPECT_FALSE(v.ShowHints);
    EXPECT_FALSE(v.SynthKnobs);
    EXPECT_TRUE(v.ProgramChanges);

    v.ProgramChanges = false;
    v.ShowHints = true;
    writeSettings(store, "In C", "", v);
    QSettings check(path, QSettings::IniFormat);
    check.beginGroup("CS1x");
    EXPECT_EQ(check.value("Midi-IN").toString(), QStringLiteral("In C"));
    EXPECT_EQ(check.value("Midi-OUT").toString(), QString());
    EXPECT_TRUE(check.contains("Midi-OUT"));
    EXPECT_EQ(check.value("Last-Dir").toString(), QStringLiteral("/exe"));
    EXPECT_EQ(check.value("ShowHints").toString(), QStringLiteral("1"));
    EXPECT_EQ(check.value("SynthKnobs").toString(), QStringLiteral("0"));
    EXPECT_EQ(check.value("ProgramChanges").toString(), QStringLiteral("0"));
}

TEST(Settings, TextsWithCommasWrittenByHandStayOneText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("settings.ini");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[CS1x]\nLast-Dir=/perfs/a, b\nMidi-IN=\"USB, Port 1\"\n");
    }
    QSettings store(path, QSettings::IniFormat);
    std::string in, out;
    SettingsValues v;
    readSettings(store, "/exe", in, out, v);
    EXPECT_EQ(v.LastDir, "/perfs/a,b");
    EXPECT_EQ(in, "USB, Port 1");
    // Written back, it reads as the same text.
    writeSettings(store, in, out, v);
    QSettings again(path, QSettings::IniFormat);
    readSettings(again, "/exe", in, out, v);
    EXPECT_EQ(v.LastDir, "/perfs/a,b");
    EXPECT_EQ(in, "USB, Port 1");
}

TEST(Settings, TestNoteValuesRoundTripAndBadOnesFallBack) {
    EXPECT_EQ(readNumber("72", 0, 127, 60), 72);
    EXPECT_EQ(readNumber("128", 0, 127, 60), 60);
    EXPECT_EQ(readNumber("-1", 0, 127, 60), 60);
    EXPECT_EQ(readNumber("6x", 0, 127, 60), 60);
    EXPECT_EQ(readNumber("", 0, 127, 60), 60);
    EXPECT_EQ(readNumber("99999999999", 0, 127, 60), 60);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("settings.ini");
    {
        QSettings store(path, QSettings::IniFormat);
        store.beginGroup("CS1x");
        store.setValue("TestNotePitch", "48");
        store.setValue("TestNoteVelocity", "0"); // no velocity: a note off
        store.setValue("TestNoteLength", "loud");
        store.endGroup();
    }
    QSettings store(path, QSettings::IniFormat);
    std::string in, out;
    SettingsValues v;
    readSettings(store, "/exe", in, out, v);
    EXPECT_EQ(v.TestNotePitch, 48);
    EXPECT_EQ(v.TestNoteVelocity, 100);
    EXPECT_EQ(v.TestNoteLength, 500);

    v.TestNoteVelocity = 1;
    v.TestNoteLength = 10000;
    writeSettings(store, in, out, v);
    QSettings check(path, QSettings::IniFormat);
    check.beginGroup("CS1x");
    EXPECT_EQ(check.value("TestNotePitch").toString(), QStringLiteral("48"));
    EXPECT_EQ(check.value("TestNoteVelocity").toString(), QStringLiteral("1"));
    EXPECT_EQ(check.value("TestNoteLength").toString(), QStringLiteral("10000"));
}
