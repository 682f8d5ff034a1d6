#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "framework/ConsoleMessageDialog.h"
#include "framework/DefaultMessages.h"
#include "runtime/window/HistoryDialog.h"
#include "framework/MessageManager.h"
#include "runtime/datetime/Pictures.h"
#include "tests/support/ScriptedMessageDialog.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::ScriptedMessageDialog;

namespace {

class FixedClock : public Clock {
public:
    ClockReading Read() const override { return {Date{4, 3, 2024}, Time{5, 6, 7, 8}, Date{4, 3, 2024}, Time{5, 6, 7, 8}}; }
};

class RecordingHistoryDialog : public HistoryDialog {
public:
    unsigned Show(const MessageRequest& request, const std::vector<HistoryEntry>& history) override {
        requests.push_back(request);
        seen = history;
        return request.DefaultButton;
    }
    std::vector<MessageRequest> requests;
    std::vector<HistoryEntry> seen;
};

class LogAndHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        messages.Initialise();
        messages.SetDialog(&dialog);
        messages.SetHaltHandler([] {});
        messages.ERRORLOG.Path = dir.File("QATError.Log");
        SetClock(&clock);
    }
    void TearDown() override { SetClock(nullptr); }

    verdo::test::TempProgramDir dir;
    FixedClock clock;
    MessageManager messages;
    ScriptedMessageDialog dialog;
};

}  // namespace

TEST(HistoryButtons, AreTakenFromTheHighestBitDown) {
    auto order = HistoryButtonOrder(ButtonYes | ButtonNo | ButtonCancel);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], std::make_pair(unsigned{ButtonCancel}, std::string("&Cancel")));
    EXPECT_EQ(order[1], std::make_pair(unsigned{ButtonNo}, std::string("&No")));
    EXPECT_EQ(order[2], std::make_pair(unsigned{ButtonYes}, std::string("&Yes")));

    auto all = HistoryButtonOrder(0x1FF);
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(all.front().second, "&Help");
    EXPECT_EQ(all.back().second, "O&k");
    EXPECT_EQ(all[4].second, "&Abort");
    EXPECT_TRUE(HistoryButtonOrder(0).empty());
}

TEST(ConsoleMessages, WriteOneLineEachAndTakeTheDefault) {
    std::ostringstream out;
    ConsoleMessageDialog console(out);
    EXPECT_EQ(console.Show({"Missing Resource", "one|two", IconInformation, ButtonYes | ButtonNo, ButtonNo}),
              unsigned{ButtonNo});
    EXPECT_EQ(out.str(), "VERDO: Missing Resource: one two\n");
}

TEST_F(LogAndHistoryTest, RaisedMessagesAppendOneLineEach) {
    messages.LOGERRORS = true;
    dialog.Expect("File Access Error", ButtonOk);
    messages.RaiseForFile(OpenError, "VERDO");
    dialog.Expect("Save Record", ButtonYes);
    messages.AskButtons(SaveQuestion, ButtonYes | ButtonNo, ButtonYes);  // not logged
    messages.SILENT = true;
    messages.Raise(NoRecordsNotice);
    EXPECT_EQ(verdo::test::ReadFileBytes(messages.ERRORLOG.Path),
              "03/04/24@05:06:07 --> File (VERDO) could not be opened.  Error:  (0).\n"
              "03/04/24@05:06:07 --> There are no records available to process.\n");
}

TEST_F(LogAndHistoryTest, LogFailureIsIgnored) {
    messages.LOGERRORS = true;
    messages.ERRORLOG.Path = dir.File("missing/QATError.Log");
    dialog.Expect("No Records", ButtonOk);
    EXPECT_EQ(messages.Raise(NoRecordsNotice), LevelNotice);
    EXPECT_EQ(messages.ERRORLOG.Append("x"), "Unable to Open error log; ");
}

TEST_F(LogAndHistoryTest, HistoryCollectsUntilTheViewLevelAndKeepsTheNewest) {
    RecordingHistoryDialog history;
    messages.SetHistoryDialog(&history);
    messages.HISTORYTHRESHOLD = 2;
    EXPECT_EQ(messages.Raise(NoRecordsNotice), LevelNotice);  // collected, not shown
    dialog.Expect("Confirm Delete", ButtonNo);                 // a question is still asked
    EXPECT_EQ(messages.Raise(DeleteQuestion), LevelCancelled);
    EXPECT_EQ(dialog.Shown().size(), 1u);
    EXPECT_EQ(messages.RaiseForFile(OpenError, "VERDO"), LevelFatal);

    ASSERT_EQ(history.requests.size(), 1u);
    EXPECT_EQ(history.requests[0].Title, "File Access Error");
    ASSERT_EQ(history.seen.size(), 2u);
    EXPECT_EQ(history.seen[0].ID, DeleteQuestion);
    EXPECT_EQ(history.seen[1].ID, OpenError);
    EXPECT_EQ(history.seen[1].CATEGORY, "QAT");
    EXPECT_EQ(history.seen[1].TXT, "File (VERDO) could not be opened.  Error:  (0).");
    EXPECT_EQ(messages.HISTORY.size(), 2u);

    messages.HISTORYRESETONVIEW = true;
    messages.Raise(OpenError);
    EXPECT_TRUE(messages.HISTORY.empty());
}

TEST_F(LogAndHistoryTest, HistoryFallsBackToTheMessageDialog) {
    messages.HISTORYTHRESHOLD = -1;  // a nonsense threshold keeps only the newest entry
    messages.HISTORYVIEWLEVEL = LevelNotice;
    dialog.Expect("No Records", ButtonOk);
    dialog.Expect("No Records", ButtonOk);
    EXPECT_EQ(messages.Raise(NoRecordsNotice), LevelNotice);
    EXPECT_EQ(messages.Raise(NoRecordsNotice), LevelNotice);
    EXPECT_EQ(messages.HISTORY.size(), 1u);
}
