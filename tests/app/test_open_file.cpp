// A file named on the command line, opened by the started application
// (offscreen, scripted MIDI system, recording notifier, temporary settings):
// a performance is loaded, sent and shown, a bank opens the bank manager, a
// name list fills the list, anything else is reported.

#include "ui/TestApp.h"

#include "app/Application.h"
#include "app/CommandLine.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedMidiPlatform.h"
#include "ui/BankEditWindow.h"
#include "ui/DialogKit.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace patchsmith;

namespace {

using Bytes = std::vector<Byte>;

// The YAMAHA rule, written out here: count, address, data and checksum add
// up to 0 in their low 7 bits.
Byte checksum(const Bytes& m) {
    unsigned sum = 0;
    for (std::size_t i = 4; i + 2 < m.size(); ++i) sum += m[i];
    return static_cast<Byte>((128 - sum % 128) % 128);
}

Bytes message(std::initializer_list<Byte> header, const Bytes& data, Byte check) {
    Bytes m(header);
    m.insert(m.end(), data.begin(), data.end());
    m.push_back(check);
    m.push_back(0xF7);
    return m;
}

// Data bytes of one block: a pattern of its own, all below 80 hex.
Bytes pattern(std::size_t n, int seed) {
    Bytes d(n);
    for (std::size_t k = 0; k < n; ++k) d[k] = static_cast<Byte>((seed * 13 + static_cast<int>(k) * 5) % 100);
    return d;
}

// The common data: name "CmdLine ", category 1 (PF), the rest a pattern.
Bytes commonData() {
    Bytes d = pattern(46, 1);
    const char name[] = "CmdLine ";
    for (int k = 0; k < 8; ++k) d[static_cast<std::size_t>(k)] = static_cast<Byte>(name[k]);
    d[8] = 1;
    return d;
}

// A performance as the CS1x dumps it, with record number n and checksums
// that are deliberately stale (the sender must compute its own).
Bytes performanceFile(Byte n) {
    Bytes f;
    auto add = [&f](const Bytes& m) { f.insert(f.end(), m.begin(), m.end()); };
    add(message({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x70, n, 0x00}, commonData(), 0x11));
    add(message({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x15, 0x70, n, 0x30}, pattern(21, 2), 0x22));
    add(message({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x09, 0x70, n, 0x50}, pattern(9, 3), 0x33));
    for (Byte l = 1; l <= 4; ++l)
        add(message({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x29, static_cast<Byte>(0x70 + l), n, 0x00}, pattern(41, 3 + l),
                    0x44));
    return f;
}

// The seven current-performance dumps that loading performanceFile() sends.
std::vector<Bytes> expectedDumps() {
    std::vector<Bytes> out;
    auto add = [&out](std::initializer_list<Byte> header, const Bytes& data) {
        Bytes m = message(header, data, 0);
        m[m.size() - 2] = checksum(m);
        out.push_back(m);
    };
    add({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x2E, 0x60, 0x00, 0x00}, commonData());
    Bytes effect = pattern(21, 2);
    effect.push_back(0); // the two effect bytes a record does not carry
    effect.push_back(0);
    add({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x17, 0x60, 0x00, 0x30}, effect);
    add({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x09, 0x60, 0x00, 0x50}, pattern(9, 3));
    for (Byte l = 1; l <= 4; ++l) add({0xF0, 0x43, 0x00, 0x4B, 0x00, 0x29, 0x60, l, 0x00}, pattern(41, 3 + l));
    return out;
}

struct OpenFileFixture : ::testing::Test {
    QTemporaryDir temp;
    midi::ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    std::unique_ptr<app::Application> application;
    int modalRuns = 0;

    void SetUp() override {
        test::testApp();
        ASSERT_TRUE(temp.isValid());
        const QString settingsPath = temp.filePath("Patchsmith.conf");
        {
            QSettings s(settingsPath, QSettings::IniFormat);
            s.beginGroup("CS1x");
            s.setValue("Midi-IN", "CS1x In");
            s.setValue("Midi-OUT", "CS1x Out");
            s.setValue("Last-Dir", temp.path());
            s.setValue("PerfBank-Dir", temp.path());
        }
        platform.inputs = {"CS1x In"};
        platform.outputs = {"CS1x Out"};
        app::StartupOptions options;
        options.executableDir = temp.path();
        options.documentsDir = temp.path();
        application = std::make_unique<app::Application>(
            platform, notifier,
            [settingsPath] { return std::make_unique<QSettings>(settingsPath, QSettings::IniFormat); }, options);
        ASSERT_TRUE(application->start());
        application->window()->show();
        platform.sent.clear(); // the identity request of the start
        // A modal window is a failure unless a test expects one.
        dialogs::setModalRunner([this](QDialog& d) {
            ++modalRuns;
            if (!onModal) {
                ADD_FAILURE() << "unexpected modal window " << d.objectName().toStdString();
                return 0;
            }
            d.show();
            onModal(d);
            const int result = d.result();
            d.hide();
            return result;
        });
    }

    void TearDown() override {
        dialogs::setModalRunner({});
        if (application) application->shutdown();
    }

    std::function<void(QDialog&)> onModal;

    QString write(const QString& relative, const Bytes& bytes) {
        const QString path = temp.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    QString write(const QString& relative, const QByteArray& bytes) {
        return write(relative, Bytes(bytes.begin(), bytes.end()));
    }

    AppContext& context() { return application->context(); }
    editor::TMainWindow& window() { return *application->window(); }
};

TEST_F(OpenFileFixture, PerformanceIsLoadedSentAsSevenDumpsAndShown) {
    const QString path = write("perfs/PF_CmdLine.SYX", performanceFile(9));
    application->openFile(path);

    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(platform.longMessages(), expectedDumps());
    EXPECT_EQ(window().PerformanceName->text(), QStringLiteral("CmdLine "));
    EXPECT_EQ(window().PerformanceType->currentIndex(), 1);
    // As the menu command: the file's directory is the next open dialog's.
    EXPECT_EQ(QString::fromStdString(context().settings.LastDir), temp.filePath("perfs"));
    EXPECT_FALSE(context().model.PerfModified);
    EXPECT_EQ(modalRuns, 0);
}

TEST_F(OpenFileFixture, PerformanceIsRecognisedWithoutItsExtension) {
    // Lower-case extension, and a file a file manager passed by its content.
    const QString lower = write("lower.syx", performanceFile(0));
    application->openFile(lower);
    EXPECT_EQ(platform.longMessages(), expectedDumps());

    platform.sent.clear();
    const QString bare = write("dump-without-extension", performanceFile(3));
    application->openFile(bare);
    EXPECT_EQ(platform.longMessages(), expectedDumps());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(OpenFileFixture, WrongSizedPerformanceGetsTheMenuCommandsMessage) {
    const PerformanceImage before = context().model.image;
    const std::string lastDir = context().settings.LastDir;
    Bytes longer = performanceFile(0);
    longer.push_back(0xF7);
    application->openFile(write("perfs/Long.SYX", longer));
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"This is not a valid Performance-file!"});
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(context().model.image == before);
    EXPECT_EQ(context().settings.LastDir, lastDir);

    // Empty, and the 316 bytes of a file cut short.
    notifier.messages.clear();
    application->openFile(write("perfs/Empty.SYX", Bytes{}));
    Bytes cut = performanceFile(0);
    cut.pop_back();
    application->openFile(write("perfs/Cut.SYX", cut));
    EXPECT_EQ(notifier.messages, std::vector<std::string>(2, "This is not a valid Performance-file!"));
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(OpenFileFixture, BankOpensTheBankManagerOnItsDirectoryWithTheBankLoaded) {
    Bytes bank{'P', 'a', 't', 'c', 'h', 's', 'm', 'i', 't', 'h', ' ', 'P', 'F', 'B'};
    const Bytes second = performanceFile(2);
    const Bytes first = performanceFile(0);
    bank.insert(bank.end(), second.begin(), second.end());
    bank.insert(bank.end(), first.begin(), first.end());
    const QString path = write("banks/Live.PFB", bank);
    write("banks/Other.PFB", QByteArray("Patchsmith PFB"));

    onModal = [&](QDialog& d) {
        auto* w = dynamic_cast<TBankEditWindow*>(&d);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->DirectoryListBox->directory(), temp.filePath("banks"));
        EXPECT_TRUE(w->TypePerfBanks->isChecked());
        EXPECT_EQ(w->FileListBox->count(), 2);
        ASSERT_EQ(w->FileListBox->selectedItems().size(), 1);
        EXPECT_EQ(w->FileListBox->selectedItems().front()->text(), QStringLiteral("Live.PFB"));
        EXPECT_TRUE(w->LoadPerf->isEnabled());
        EXPECT_EQ(w->BankListBox->item(0)->text(), QStringLiteral("001  PF CmdLine"));
        EXPECT_EQ(w->BankListBox->item(1)->text(), QStringLiteral("002"));
        EXPECT_EQ(w->BankListBox->item(2)->text(), QStringLiteral("003  PF CmdLine"));
        w->reject();
    };
    application->openFile(path);

    EXPECT_EQ(modalRuns, 1);
    EXPECT_TRUE(notifier.messages.empty());
    const PerformanceBank& stored = context().bank;
    EXPECT_EQ(stored.occupiedCount(), 2);
    ASSERT_TRUE(stored.occupied(0) && stored.occupied(2));
    // Loaded unchanged, stale checksums and all.
    EXPECT_TRUE(std::equal(first.begin(), first.end(), stored.slot(0).bytes().begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), stored.slot(2).bytes().begin()));
    // Closed on the bank's directory, as the bank manager leaves it.
    EXPECT_EQ(QString::fromStdString(context().settings.PerfBankDir), temp.filePath("banks"));
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(OpenFileFixture, DamagedBankIsReportedInsideTheBankManager) {
    std::vector<std::string> seenWhenShown;
    onModal = [&](QDialog& d) {
        seenWhenShown = notifier.messages;
        d.reject();
    };
    application->openFile(write("banks/Bad.pfb", QByteArray("Patchsmith PFB") + QByteArray(20, '\0')));
    EXPECT_EQ(modalRuns, 1);
    EXPECT_EQ(seenWhenShown, std::vector<std::string>{"Load-Error : Wrong filesize"});
    EXPECT_EQ(context().bank.occupiedCount(), 0);

    // A bank found by its header in a file of another name.
    seenWhenShown.clear();
    notifier.messages.clear();
    application->openFile(write("banks/backup.bin", QByteArray("Patchsmith PFB")));
    EXPECT_EQ(modalRuns, 2);
    EXPECT_TRUE(seenWhenShown.empty());
}

TEST_F(OpenFileFixture, NameListFillsTheUserPerformanceList) {
    const QString path = write("lists/Live.PFN", QByteArray("001  PF One\r\n002  LD Two\r\n"));
    application->openFile(path);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(window().UserPerf->item(0)->text(), QStringLiteral("001  PF One"));
    EXPECT_EQ(window().UserPerf->item(1)->text(), QStringLiteral("002  LD Two"));
    EXPECT_EQ(QString::fromStdString(context().settings.PerfListFile), path);
    EXPECT_TRUE(platform.sent.empty());
}

TEST_F(OpenFileFixture, OtherFilesAreReportedAndTheEditorGoesOn) {
    const PerformanceImage before = context().model.image;
    const QString text = write("notes.txt", QByteArray("F0 43 00 4B is how it starts\n"));
    application->openFile(text);
    const QString missing = temp.filePath("gone.SYX");
    application->openFile(missing);
    application->openFile(temp.path());
    const QString empty = write("empty", Bytes{});
    application->openFile(empty);

    ASSERT_EQ(notifier.messages.size(), 4u);
    EXPECT_EQ(notifier.messages[0], app::otherFileMessage(text).toStdString());
    EXPECT_EQ(notifier.messages[0].rfind("\"" + text.toStdString() + "\" is neither a performance (.SYX)", 0), 0u);
    EXPECT_EQ(notifier.messages[1], "Cannot open \"" + missing.toStdString() + "\": there is no such file.");
    EXPECT_EQ(notifier.messages[2], "Cannot open \"" + temp.path().toStdString() + "\": it is a folder, not a file.");
    EXPECT_EQ(notifier.messages[3], app::otherFileMessage(empty).toStdString());
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(context().model.image == before);
    EXPECT_EQ(modalRuns, 0);
    EXPECT_TRUE(window().isVisible());
}

} // namespace
