#pragma once
// The window as the transfer commands and the receive side see it, for the
// fuzz targets: dialogs answer from fields the target sets, waits return at
// once, and every call that names a list row checks that the row exists.

#include "FuzzSupport.h"
#include "storage/BulkTransfers.h"

#include <optional>
#include <string>
#include <vector>

namespace patchsmith::fuzz {

struct FuzzUi : TransferUi {
    // Dialog answers.
    std::optional<std::string> openAnswer;
    std::optional<std::string> saveAnswer;
    std::optional<int> chooserAnswer;
    std::optional<std::string> dirAnswer;
    int twoChoiceAnswer = 0;

    std::vector<std::string> rows = std::vector<std::string>(128, "row");
    std::vector<std::string> messages;
    int statusCount = 0;
    int refreshes = 0;
    bool timerRunning = false;
    bool busy = false;
    bool inBankSend = false;

    void ShowStatus(const std::string&) override { ++statusCount; }
    void showMessage(const std::string& t) override { messages.push_back(t); }
    void setBusyCursor() override { busy = true; }
    void setNormalCursor() override { busy = false; }
    void selectUserPerfRow(int r) override { FUZZ_CHECK(r >= 0 && r < 128); }
    void setUserPerfRow(int r, const std::string& t) override {
        FUZZ_CHECK(r >= 0 && r < 128);
        rows[static_cast<std::size_t>(r)] = t;
    }
    void ShowPerformance() override { ++refreshes; }
    void HandleSynthKnob(int controller, int value) override {
        FUZZ_CHECK(controller >= 0 && controller <= 255 && value >= 0 && value <= 255);
    }
    void startRequestTimer(int ms) override { timerRunning = ms > 0; }
    void stopRequestTimer() override { timerRunning = false; }
    void wait(int ms) override { FUZZ_CHECK(ms > 0 && ms <= 20); }

    std::optional<std::string> openFileDialog(const std::string&, const std::string&, const std::string&) override {
        return openAnswer;
    }
    std::optional<std::string> saveFileDialog(const std::string&, const std::string&, const std::string&,
                                              const std::optional<std::string>&) override {
        return saveAnswer;
    }
    std::optional<int> chooseUserPerf(const std::string&, const std::string&, int selected) override {
        FUZZ_CHECK(selected >= -1 && selected < 128);
        return chooserAnswer;
    }
    bool ChooseLastDir(std::string& lastDir) override {
        if (!dirAnswer) return false;
        lastDir = *dirAnswer;
        return true;
    }
    int AskTwoChoices(const std::string&, const std::string&, const std::string&) override { return twoChoiceAnswer; }
    std::vector<std::string> userPerfRows() override { return rows; }
    void setUserPerfRows(const std::vector<std::string>& r) override { rows = r; }
    void beginBankSend(int records) override {
        FUZZ_CHECK(records >= 0 && !inBankSend);
        inBankSend = true;
    }
    void bankSendProgress(int done, const std::string&) override { FUZZ_CHECK(inBankSend && done >= 0); }
    void endBankSend() override {
        FUZZ_CHECK(inBankSend);
        inBankSend = false;
    }
};

} // namespace patchsmith::fuzz
