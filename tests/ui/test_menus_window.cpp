// The windows the menus open: Preferences, About (menu-bar entry, Ctrl+H and
// the picture), the bank manager over the application's bank and slot texts
// with the main window's save dialog; and the names request on the wire.

#include "../storage/StorageTestSupport.h"
#include "TestApp.h"

#include "support/ScriptedMidiPlatform.h"
#include "ui/AboutWindow.h"
#include "ui/AppContext.h"
#include "ui/BankEditWindow.h"
#include "ui/DialogKit.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/MidiWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QMenuBar>
#include <QTest>

#include <deque>
#include <filesystem>
#include <functional>

using namespace patchsmith;
using editor::TMainWindow;
using Bytes = std::vector<Byte>;

namespace {

class MenusWindow : public test::TempDirTest {
protected:
    midi::ScriptedMidiPlatform platform;
    test::RecordingNotifier notifier;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TMainWindow> w;
    std::deque<std::function<int(QDialog&)>> script;
    std::vector<std::string> opened;

    void SetUp() override {
        test::testApp();
        TempDirTest::SetUp();
        platform.inputs = {"In A", "In B"};
        platform.outputs = {"Out A", "Out B"};
        ctx = std::make_unique<AppContext>(platform, notifier);
        ctx->settings.LastDir = dir_.string();
        ctx->settings.PerfBankDir = dir_.string();
        w = std::make_unique<TMainWindow>(*ctx);
        ctx->devices.onInputEvent = [this](const midi::MidiInputEvent& e) { w->dispatcher.AppMessage(e); };
        ctx->devices.MidiInDeviceName = "In A";
        ctx->devices.MidiOutDeviceName = "Out A";
        ASSERT_TRUE(ctx->devices.InitMidiDevices());
        platform.sent.clear();
        dialogs::setModalRunner([this](QDialog& d) {
            opened.push_back(d.metaObject()->className());
            if (script.empty()) {
                ADD_FAILURE() << "unexpected modal window " << d.metaObject()->className();
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
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        TempDirTest::TearDown();
    }
};

TEST_F(MenusWindow, PreferencesShowTheDevicesAndSwitchesAndApplyThem) {
    ctx->settings.ProgramChanges = false;
    script.push_back([&](QDialog& d) {
        auto* m = dynamic_cast<TMidiWindow*>(&d);
        EXPECT_NE(m, nullptr);
        if (!m) return 0;
        EXPECT_EQ(m->ListMidiInDevice->count(), 2);
        EXPECT_EQ(m->ListMidiInDevice->currentRow(), 0);
        EXPECT_EQ(m->ListMidiOutDevice->currentRow(), 0);
        EXPECT_TRUE(m->CheckNoticeKnobs->isChecked());
        EXPECT_FALSE(m->CheckNoticePgm->isChecked());
        EXPECT_TRUE(m->CheckShowHints->isChecked());
        m->CheckShowHints->setChecked(false);
        m->CheckNoticePgm->setChecked(true);
        m->midiDeviceOkClick();
        return m->result();
    });
    w->MenuFilePreferences->trigger();
    EXPECT_FALSE(ctx->settings.ShowHints);
    EXPECT_TRUE(ctx->settings.ProgramChanges);
    EXPECT_TRUE(platform.sent.empty()); // no device changed: nothing reopened, no identity request

    // Another output: reopened by its row and announced with the identity request.
    script.push_back([&](QDialog& d) {
        auto* m = dynamic_cast<TMidiWindow*>(&d);
        if (!m) return 0;
        EXPECT_FALSE(m->CheckShowHints->isChecked());
        m->ListMidiOutDevice->setCurrentRow(1);
        m->CheckShowHints->setChecked(true);
        m->midiDeviceOkClick();
        return m->result();
    });
    w->MenuFilePreferences->trigger();
    EXPECT_EQ(ctx->devices.MidiOutDeviceName, "Out B");
    EXPECT_EQ(platform.openedOutputDevice(), 1u);
    EXPECT_EQ(platform.longMessages(), (std::vector<Bytes>{{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7}}));
    EXPECT_TRUE(ctx->settings.ShowHints);
}

TEST_F(MenusWindow, AboutOpensFromTheMenuBarItsShortcutAndThePicture) {
    int abouts = 0;
    for (int i = 0; i < 3; ++i)
        script.push_back([&](QDialog& d) {
            if (dynamic_cast<TAboutWindow*>(&d)) ++abouts;
            return 0;
        });
    // " &About " is an entry of the menu bar itself, not a menu without items.
    EXPECT_EQ(w->MenuAbout->menu(), nullptr);
    EXPECT_TRUE(w->menuBar()->actions().contains(w->MenuAbout));
    EXPECT_EQ(w->MenuAbout->text(), " &About ");
    w->MenuAbout->trigger();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QTest::keyClick(w.get(), Qt::Key_H, Qt::ControlModifier);
    QTest::mouseClick(w->Image2, Qt::LeftButton);
    EXPECT_EQ(abouts, 3);
}

TEST_F(MenusWindow, BankManagerKeepsBankAndTextsAcrossOpeningsAndSavesThroughTheSharedDialog) {
    EXPECT_EQ(ctx->perfNumberTexts[9], "010");
    const std::string other = (dir_ / "elsewhere").string();
    std::filesystem::create_directories(other);
    PerformanceRecord r = test::makeRecord(3, 1, "GrandPno", 7);
    ASSERT_TRUE(ctx->bank.setSlot(3, r));

    script.push_back([&](QDialog& d) {
        auto* b = dynamic_cast<TBankEditWindow*>(&d);
        EXPECT_NE(b, nullptr);
        if (!b) return 0;
        EXPECT_EQ(b->BankListBox->count(), 128);
        EXPECT_EQ(b->BankListBox->item(0)->text(), "001");
        EXPECT_EQ(b->BankListBox->item(127)->text(), "128");
        b->BankListBox->item(3)->setText("004  PF GrandPno and more");
        b->SavePerfClick(); // opens the main window's save dialog (next step)
        b->DirectoryListBox->setDirectory(QString::fromStdString(other));
        b->done(0);
        return 0;
    });
    script.push_back([&](QDialog& d) {
        auto* fd = qobject_cast<QFileDialog*>(&d);
        EXPECT_EQ(fd, w->fileDialogs->saveDialogIfBuilt());
        if (!fd) return 0;
        EXPECT_EQ(fd->windowTitle(), "Save Performance-bank as ...");
        EXPECT_EQ(fd->nameFilters(), (QStringList{"Performance-banks (*.PFB)", "All files (*.*)"}));
        EXPECT_EQ(fd->directory().absolutePath().toStdString(), dir_.string());
        fd->selectFile(QString::fromStdString(path("bank")));
        return static_cast<int>(QDialog::Accepted);
    });
    w->MenuBulkBankEdit->trigger();

    const Bytes file = test::readBytes(path("bank.PFB"));
    ASSERT_EQ(file.size(), 14u + 317u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 14), "Patchsmith PFB");
    EXPECT_TRUE(std::equal(r.bytes().begin(), r.bytes().end(), file.begin() + 14));
    EXPECT_EQ(ctx->settings.PerfBankDir, other);
    // The texts outlive the window, cut to 15 characters; one store for both names.
    EXPECT_EQ(ctx->slotLabels.label(3), "004  PF GrandPn");
    EXPECT_EQ(ctx->perfNumberTexts[3], "004  PF GrandPn");

    script.push_back([&](QDialog& d) {
        auto* b = dynamic_cast<TBankEditWindow*>(&d);
        if (!b) return 0;
        EXPECT_EQ(b->BankListBox->item(3)->text(), "004  PF GrandPn");
        EXPECT_EQ(b->DirectoryListBox->directory().toStdString(), other);
        b->done(0);
        return 0;
    });
    w->MenuBulkBankEdit->trigger();
    EXPECT_TRUE(ctx->bank.occupied(3));
    EXPECT_TRUE(platform.sent.empty()); // the bank manager does not talk MIDI
}

TEST_F(MenusWindow, NamesRequestAsksForTheFirstCommonBlockWithTheBusyCursor) {
    w->MenuBulkPerfNames->trigger();
    EXPECT_EQ(platform.longMessages(), (std::vector<Bytes>{{0xF0, 0x43, 0x20, 0x4B, 0x70, 0x00, 0x00, 0xF7}}));
    EXPECT_TRUE(w->dispatcher.ReceivingAllNames);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
}

TEST_F(MenusWindow, NamesRequestNeedsBothDevices) {
    ctx->devices.CloseMidiIn();
    w->MenuBulkPerfNames->trigger();
    EXPECT_TRUE(platform.longMessages().empty());
    EXPECT_FALSE(w->dispatcher.ReceivingAllNames);
}

} // namespace
