// The main window's one open and one save dialog: built when first needed,
// shared by every file command and the bank manager, and proposing for each
// command its own file name, whatever the dialog showed before.

#include "../storage/StorageTestSupport.h"
#include "TestApp.h"

#include "support/ScriptedMidiPlatform.h"
#include "ui/AppContext.h"
#include "ui/BankEditWindow.h"
#include "ui/DialogKit.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>

#include <deque>
#include <filesystem>
#include <functional>

using namespace patchsmith;
using editor::TMainWindow;

namespace {

class FileDialogs : public test::TempDirTest {
protected:
    midi::ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TMainWindow> w;
    std::deque<std::function<int(QDialog&)>> script;

    void SetUp() override {
        test::testApp();
        TempDirTest::SetUp();
        platform.inputs = {"In"};
        platform.outputs = {"Out"};
        ctx = std::make_unique<AppContext>(platform, notifier);
        ctx->settings.LastDir = dir_.string();
        ctx->settings.PerfBankDir = dir_.string();
        w = std::make_unique<TMainWindow>(*ctx);
        ctx->devices.MidiInDeviceName = "In";
        ctx->devices.MidiOutDeviceName = "Out";
        ASSERT_TRUE(ctx->devices.InitMidiDevices());
        dialogs::setModalRunner([this](QDialog& d) {
            if (script.empty()) {
                ADD_FAILURE() << "unexpected modal window " << d.objectName().toStdString();
                return 0;
            }
            auto step = std::move(script.front());
            script.pop_front();
            return step(d);
        });
    }
    void TearDown() override {
        dialogs::setModalRunner({});
        EXPECT_TRUE(script.empty());
        w.reset();
        ctx.reset();
        TempDirTest::TearDown();
    }

    // The file name the dialog proposes.
    static QString proposed(QFileDialog& d) {
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        return edit ? edit->text() : QStringLiteral("<no name field>");
    }
    // One step: the dialog must be `expected` and propose `name`; then
    // `choose` is typed and confirmed, or the dialog cancelled when empty.
    void step(QFileDialog* expected, const char* name, const std::string& choose = {}) {
        script.push_back([this, expected, name, choose](QDialog& d) {
            auto* fd = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(fd, nullptr);
            if (!fd) return 0;
            if (expected) {
                EXPECT_EQ(fd, expected);
            }
            EXPECT_EQ(proposed(*fd), QString::fromLatin1(name)) << fd->windowTitle().toStdString();
            if (choose.empty()) return static_cast<int>(QDialog::Rejected);
            fd->selectFile(QString::fromStdString(choose));
            return static_cast<int>(QDialog::Accepted);
        });
    }
};

TEST_F(FileDialogs, BuiltOnFirstUseAndEachCommandProposesItsOwnName) {
    dialogs::SharedFileDialogs& shared = *w->fileDialogs;
    EXPECT_EQ(shared.openDialogIfBuilt(), nullptr);
    EXPECT_EQ(shared.saveDialogIfBuilt(), nullptr);
    EXPECT_EQ(&dialogs::SharedFileDialogs::of(w->PageControl1), &shared);

    // The performance's own name, saved under another.
    step(nullptr, "--  _InitPerf.SYX", path("PF_GrandPno.SYX"));
    w->MenuFileSaveActPerf->trigger();
    QFileDialog* save = shared.saveDialogIfBuilt();
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->objectName(), "SaveDialog");
    EXPECT_TRUE(std::filesystem::exists(path("PF_GrandPno.SYX")));
    EXPECT_EQ(shared.openDialogIfBuilt(), nullptr);

    // The bank manager's save keeps the name the dialog showed last (with
    // the extension of the bank filter, as the dialog adapts it).
    script.push_back([](QDialog& d) {
        auto* b = dynamic_cast<TBankEditWindow*>(&d);
        EXPECT_NE(b, nullptr);
        if (b) b->SavePerfClick();
        return 0;
    });
    step(save, "PF_GrandPno.PFB");
    w->MenuBulkBankEdit->trigger();

    // The names list starts without a name.
    step(save, "", path("names"));
    w->MenuFileSavePerfNames->trigger();
    EXPECT_TRUE(std::filesystem::exists(path("names.PFN")));

    // Open dialogs never propose a name, also after one was chosen there.
    step(nullptr, "", path("PF_GrandPno.SYX"));
    w->MenuFileOpenActPerf->trigger();
    QFileDialog* open = shared.openDialogIfBuilt();
    ASSERT_NE(open, nullptr);
    EXPECT_NE(open, save);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    step(open, "");
    w->MenuFileOpenPerfNames->trigger();
    step(save, "");
    w->MenuFileSavePerfNames->trigger();
    EXPECT_TRUE(notifier.messages.empty());
}

} // namespace
