// The directory chooser, the user-performance chooser, the two-button
// message window and the about window.

#include "DialogTestSupport.h"

#include "ui/AboutWindow.h"
#include "ui/MessageWindow.h"
#include "ui/PathWindow.h"
#include "ui/UserPerfSelectWindow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <set>

namespace patchsmith {
namespace {

using test::ControlRow;
using test::ModalScript;

class SmallDialogTest : public ::testing::Test {
protected:
    SmallDialogTest() { test::testApp(); }
    ModalScript noModal;
};

QStringList userPerfRows() {
    QStringList rows;
    for (int i = 1; i <= 128; ++i) rows << QString("%1  PF Piano%2").arg(i, 3, 10, QChar('0')).arg(i);
    return rows;
}

// ---- directory chooser ----

class PathWindowTest : public SmallDialogTest {
protected:
    PathWindowTest() {
        EXPECT_TRUE(temp.isValid());
        QDir root(temp.path());
        for (const char* sub : {"banks", "Alpha", "zeta", ".hidden"}) root.mkdir(sub);
        QFile file(root.filePath("PF_GrandPno.SYX"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        base = QDir::cleanPath(temp.path());
    }
    QTemporaryDir temp;
    QString base;
};

TEST_F(PathWindowTest, Controls) {
    TPathWindow w;
    EXPECT_EQ(w.windowTitle().toStdString(), " Select dest. path");
    EXPECT_EQ(w.size(), QSize(208, 242));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    const ControlRow rows[] = {
        {"PathLabel", "QLabel", nullptr, "", ""},
        {"DirectoryListBox", "patchsmith::dialogs::DirectoryListBox", nullptr, "", "Directories"},
        {"DriveComboBox", "patchsmith::dialogs::DriveComboBox", nullptr, "", "Drives"},
        {"OKButton", "QPushButton", "OK", "", "OK"},
        {"CancelButton", "QPushButton", "Cancel", "", "Cancel"},
    };
    for (const auto& row : rows) test::expectControl(&w, row);
    EXPECT_TRUE(w.OKButton->isDefault());
    EXPECT_FALSE(w.confirmed());
    EXPECT_EQ(w.DirectoryListBox->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(w.DriveComboBox->palette().color(QPalette::Text), QColor(0, 255, 0));
}

TEST_F(PathWindowTest, ListsPathThenSubdirectoriesAndFollowsTheLabel) {
    TPathWindow w;
    w.DirectoryListBox->setDirectory(base);
    EXPECT_EQ(w.PathLabel->text(), base);
    const QStringList rows = dialogs::directoryRows(base);
    const int self = static_cast<int>(rows.indexOf(base));
    ASSERT_GE(self, 1);
    EXPECT_EQ(rows.front(), QDir::rootPath());
    // Subdirectories by name regardless of case; no files, no hidden folders.
    EXPECT_EQ(rows.mid(self + 1), (QStringList{base + "/Alpha", base + "/banks", base + "/zeta"}));
    ASSERT_EQ(w.DirectoryListBox->count(), rows.size());
    EXPECT_EQ(w.DirectoryListBox->currentRow(), self);
    EXPECT_EQ(w.DirectoryListBox->item(self + 1)->text().trimmed(), "Alpha");

    w.DirectoryListBox->openRow(self + 2);
    EXPECT_EQ(w.DirectoryListBox->directory(), base + "/banks");
    EXPECT_EQ(w.PathLabel->text(), base + "/banks");
    w.DirectoryListBox->openRow(self - 1); // the parent of the old directory
    EXPECT_EQ(w.DirectoryListBox->directory(), QFileInfo(base).dir().absolutePath());
}

TEST_F(PathWindowTest, ConfirmedChoiceBecomesLastDir) {
    QString lastDir = base;
    ModalScript script([&](QDialog& d) {
        auto& w = dynamic_cast<TPathWindow&>(d);
        EXPECT_EQ(w.DirectoryListBox->directory(), base);
        const int row = static_cast<int>(dialogs::directoryRows(base).indexOf(base + "/zeta"));
        w.DirectoryListBox->openRow(row);
        w.OKButton->click();
    });
    EXPECT_TRUE(ChooseLastDir(lastDir));
    EXPECT_EQ(lastDir, base + "/zeta");
    EXPECT_EQ(script.runs, 1);
}

TEST_F(PathWindowTest, CancelOrCloseKeepsLastDir) {
    QString lastDir = base + "/banks";
    {
        ModalScript script([](QDialog& d) { dynamic_cast<TPathWindow&>(d).CancelButton->click(); });
        EXPECT_FALSE(ChooseLastDir(lastDir));
    }
    {
        ModalScript script([](QDialog& d) { d.reject(); });
        EXPECT_FALSE(ChooseLastDir(lastDir));
    }
    EXPECT_EQ(lastDir, base + "/banks");
}

TEST_F(PathWindowTest, MissingLastDirOpensNearestExistingFolder) {
    QString lastDir = base + "/banks/gone/deeper";
    ModalScript script([](QDialog& d) { dynamic_cast<TPathWindow&>(d).OKButton->click(); });
    EXPECT_TRUE(ChooseLastDir(lastDir));
    EXPECT_EQ(lastDir, base + "/banks");
}

TEST_F(PathWindowTest, DriveSelectorListsVolumeRootsAndOpensThem) {
    TPathWindow w;
    w.DirectoryListBox->setDirectory(base);
    const QStringList roots = w.DriveComboBox->roots();
    EXPECT_TRUE(roots.contains("/"));
    EXPECT_EQ(w.DriveComboBox->count(), roots.size());
    EXPECT_EQ(w.DriveComboBox->currentText(), dialogs::volumeRootOf(base, roots));
    const int rootIndex = static_cast<int>(roots.indexOf("/"));
    emit w.DriveComboBox->activated(rootIndex);
    EXPECT_EQ(w.DirectoryListBox->directory(), "/");
    EXPECT_EQ(w.DriveComboBox->currentText(), "/");
}

TEST(volumeRootOf, TakesTheLongestRootThatHoldsTheDirectory) {
    const QStringList roots{"/", "/home", "/home2", "/media/usb"};
    EXPECT_EQ(dialogs::volumeRootOf("/home2/x", roots), "/home2");
    EXPECT_EQ(dialogs::volumeRootOf("/home", roots), "/home");
    EXPECT_EQ(dialogs::volumeRootOf("/homework", roots), "/");
    EXPECT_EQ(dialogs::volumeRootOf("/media/usb/banks", roots), "/media/usb");
}

TEST(qtFileFilter, TurnsPipeFiltersIntoQtFilters) {
    EXPECT_EQ(dialogs::qtFileFilter("Performance-banks (*.PFB)|*.PFB|All files (*.*)|*.*").toStdString(),
              "Performance-banks (*.PFB);;All files (*.*)");
    EXPECT_EQ(dialogs::qtFileFilter("Banks|*.PFB;*.BNK").toStdString(), "Banks (*.PFB *.BNK)");
    EXPECT_EQ(dialogs::qtFileFilter("").toStdString(), "");
    EXPECT_EQ(dialogs::qtFileFilter("dangling").toStdString(), "");
}

// ---- user-performance chooser ----

TEST_F(SmallDialogTest, UserPerfChooserControls) {
    TUserPerfSelectWindow w(userPerfRows());
    EXPECT_EQ(w.windowTitle().toStdString(), "Select Dest");
    EXPECT_EQ(w.size(), QSize(149, 230));
    const ControlRow rows[] = {
        {"Label32", "QLabel", "User Performance", "", "User Performance"},
        {"UserPerfSelect", "QListWidget", nullptr, "Select User-Performance to dump",
         "Select User-Performance to dump"},
        {"UserPerfOK", "QPushButton", "Request", "", "Request"},
        {"UserPerfCancel", "QPushButton", "Cancel", "", "Cancel"},
    };
    for (const auto& row : rows) test::expectControl(&w, row);
    EXPECT_TRUE(w.UserPerfOK->isDefault());
    ASSERT_EQ(w.UserPerfSelect->count(), 128);
    EXPECT_EQ(w.UserPerfSelect->item(127)->text(), "128  PF Piano128");
    EXPECT_FALSE(w.confirmed());
    EXPECT_EQ(w.selectedRow(), -1);
}

TEST_F(SmallDialogTest, UserPerfChooserTakesCallerSettingsAndReturnsTheRow) {
    ModalScript script([](QDialog& d) {
        auto& w = dynamic_cast<TUserPerfSelectWindow&>(d);
        EXPECT_EQ(w.windowTitle().toStdString(), "Select dest. Perf");
        EXPECT_EQ(w.UserPerfOK->text().toStdString(), "Send");
        EXPECT_EQ(w.UserPerfOK->accessibleName().toStdString(), "Send");
        EXPECT_EQ(w.selectedRow(), 9);
        EXPECT_EQ(w.topRow(), 9);
        w.UserPerfOK->click();
    });
    EXPECT_EQ(selectUserPerformance(userPerfRows(), "Select dest. Perf", "Send", 9, 9), 9);
}

TEST_F(SmallDialogTest, UserPerfChooserWithoutRowIsNotConfirmed) {
    ModalScript script([](QDialog& d) {
        auto& w = dynamic_cast<TUserPerfSelectWindow&>(d);
        EXPECT_EQ(w.windowTitle().toStdString(), "Select Dest");
        EXPECT_EQ(w.topRow(), 0);
        w.UserPerfOK->click();
        EXPECT_FALSE(w.isVisible()) << "closed in any case";
    });
    EXPECT_EQ(selectUserPerformance(userPerfRows(), "", "Request", -1, 0), std::nullopt);
}

TEST_F(SmallDialogTest, UserPerfChooserCancelAndDoubleClick) {
    {
        ModalScript script([](QDialog& d) { dynamic_cast<TUserPerfSelectWindow&>(d).UserPerfCancel->click(); });
        EXPECT_EQ(selectUserPerformance(userPerfRows(), "", "Request", 4, 0), std::nullopt);
    }
    {
        ModalScript script([](QDialog& d) {
            auto& w = dynamic_cast<TUserPerfSelectWindow&>(d);
            w.UserPerfSelect->setCurrentRow(127);
            emit w.UserPerfSelect->itemDoubleClicked(w.UserPerfSelect->item(127));
            EXPECT_FALSE(w.isVisible());
        });
        EXPECT_EQ(selectUserPerformance(userPerfRows(), "", "Request", -1, 0), 127);
    }
    // A selected row beyond the list selects nothing.
    TUserPerfSelectWindow w(userPerfRows());
    w.setSelectedRow(128);
    EXPECT_EQ(w.selectedRow(), -1);
}

// ---- message window ----

TEST_F(SmallDialogTest, MessageWindowControls) {
    TMessageWindow w;
    EXPECT_EQ(w.windowTitle().toStdString(), " Patchsmith Message");
    EXPECT_EQ(w.frameGeometry().size(), QSize(295, 110));
    EXPECT_NE(w.minimumSize(), w.maximumSize()) << "sizable";
    const ControlRow rows[] = {
        {"TextLabel", "QLabel", "", "", ""},
        {"Image1", "QLabel", nullptr, "", "Question"},
        {"OKButton", "QPushButton", "OK", "", "OK"},
        {"CancelButton", "QPushButton", "Cancel", "", "Cancel"},
    };
    for (const auto& row : rows) test::expectControl(&w, row);
    EXPECT_TRUE(w.TextLabel->wordWrap());
    const QImage picture = TMessageWindow::messagePicture().toImage();
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << "drawn transparently";
    EXPECT_EQ(qAlpha(picture.pixel(16, 16)), 255);
}

TEST_F(SmallDialogTest, AskTwoChoicesReturnsTheButtonAndIsReusable) {
    TMessageWindow w;
    const QString text = "Please select the format to store the received\nBulk-data on your harddisk";
    {
        ModalScript script([&](QDialog&) {
            EXPECT_EQ(w.TextLabel->text(), text);
            EXPECT_EQ(w.OKButton->text().toStdString(), "Perf.-bank");
            EXPECT_EQ(w.CancelButton->text().toStdString(), "SysEx files");
            EXPECT_EQ(w.CancelButton->accessibleName().toStdString(), "SysEx files");
            w.OKButton->click();
        });
        EXPECT_EQ(w.AskTwoChoices(text, "Perf.-bank", "SysEx files"), 1);
    }
    {
        ModalScript script([&](QDialog&) { w.CancelButton->click(); });
        EXPECT_EQ(w.AskTwoChoices(text, "Perf.-bank", "SysEx files"), 2);
    }
    {
        // Closed by the title bar or Escape: neither answer.
        ModalScript script([&](QDialog&) { w.reject(); });
        EXPECT_EQ(w.AskTwoChoices("again", "Yes", "No"), 0);
        EXPECT_EQ(w.OKButton->text().toStdString(), "Yes");
    }
}

// ---- about window ----

TEST_F(SmallDialogTest, AboutWindowControls) {
    TAboutWindow w;
    EXPECT_EQ(w.windowTitle().toStdString(), " About Qarn Patchsmith");
    EXPECT_EQ(w.size(), QSize(324, 247));
    const ControlRow rows[] = {
        {"QarnLogo", "patchsmith::dialogs::QarnLogoBox", nullptr, "", "Qarn logo"},
        {"TitleLabel", "QLabel", "Qarn Patchsmith", "", "Qarn Patchsmith"},
        {"DesignedLabel", "QLabel", "designed for", "", "designed for"},
        {"SynthLabel", "QLabel", "YAMAHA-CS1x Synthesizers", "", "YAMAHA-CS1x Synthesizers"},
        {"ByLabel", "QLabel", "by", "", "by"},
        {"MakerLabel", "QLabel", "Qarn Inc.", "", "Qarn Inc."},
        {"WebEdit", "QLineEdit", "https://patchsmith.example", "", "Web address"},
        {"OKButton", "QPushButton", "OK", "", "OK"},
    };
    for (const auto& row : rows) test::expectControl(&w, row);
    EXPECT_TRUE(w.webEdit->isReadOnly());
    EXPECT_FALSE(w.logoImage->pixmap().isNull());
    EXPECT_EQ(w.QarnLogo->size(), QSize(dialogs::kQarnFrameSize, dialogs::kQarnFrameSize));
}

TEST_F(SmallDialogTest, AboutAnimationRunsFramesZeroToThirteenAndWraps) {
    TAboutWindow w;
    EXPECT_EQ(w.currentFrame(), 0);
    EXPECT_TRUE(w.QarnTimer->isActive());
    EXPECT_EQ(w.QarnTimer->interval(), 70);
    std::vector<int> seen{w.currentFrame()};
    for (int tick = 0; tick < 15; ++tick) {
        w.qarnTimerTimer();
        EXPECT_TRUE(w.QarnTimer->isActive());
        EXPECT_EQ(w.QarnTimer->interval(), 70);
        seen.push_back(w.currentFrame());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 1}));
    EXPECT_EQ(dialogs::nextQarnFrame(13), 0);
    EXPECT_EQ(dialogs::nextQarnFrame(-1), 0);
}

TEST_F(SmallDialogTest, AboutFramesAreFourteenDistinctDrawingsShownAtTopLeft) {
    TAboutWindow w;
    ASSERT_EQ(w.QarnImageList.count(), 14);
    std::set<qint64> keys;
    std::vector<QImage> images;
    for (int i = 0; i < 14; ++i) images.push_back(w.QarnImageList.frame(i).toImage());
    for (int i = 0; i < 14; ++i)
        for (int j = i + 1; j < 14; ++j) EXPECT_NE(images[i], images[j]) << i << " vs " << j;

    w.show();
    for (int tick = 0; tick < 5; ++tick) w.qarnTimerTimer();
    const QImage shown = w.QarnLogo->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, images[5].convertToFormat(QImage::Format_RGB32));
}

TEST_F(SmallDialogTest, AboutShownModally) {
    ModalScript script([](QDialog& d) { dynamic_cast<TAboutWindow&>(d).OKButton->click(); });
    showAbout();
    EXPECT_EQ(script.runs, 1);
}

} // namespace
} // namespace patchsmith
