#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DefaultMessages.h"
#include "framework/MessageManager.h"
#include "runtime/LogicalThread.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedMessageDialog.h"

using namespace verdo;
using verdo::test::ScriptedMessageDialog;

namespace {

// A table in the layout AddMessages reads.
std::vector<uint8_t> Table(const std::vector<MessageDefinition>& entries) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(entries.size()), static_cast<uint8_t>(entries.size() >> 8)};
    for (const MessageDefinition& d : entries) {
        bytes.push_back(static_cast<uint8_t>(d.ID));
        bytes.push_back(static_cast<uint8_t>(d.ID >> 8));
        bytes.push_back(d.FATALITY);
        for (const std::string* s : {&d.TITLE, &d.MESSAGE}) {
            bytes.push_back(static_cast<uint8_t>(s->size()));
            bytes.insert(bytes.end(), s->begin(), s->end());
        }
    }
    return bytes;
}

class MessageManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        messages.Initialise();
        messages.SetDialog(&dialog);
        messages.SetHaltHandler([this] { ++halts; });
        ClearLastError();
    }

    // Adds one message of our own and returns its text after substitution.
    std::string Substituted(const std::string& text) {
        const uint16_t id = nextId++;
        messages.AddMessages(Table({{id, text, "Own", LevelNone, {}}}));
        messages.Raise(id);
        return messages.SubstitutedText();
    }

    MessageManager messages;
    ScriptedMessageDialog dialog;
    int halts = 0;
    uint16_t nextId = 1000;
};

const DefaultMessage& Default(MessageId id) {
    for (const DefaultMessage& m : DefaultMessageTable())
        if (m.Id == id) return m;
    static const DefaultMessage none{};
    ADD_FAILURE() << "no default message " << id;
    return none;
}

}  // namespace

TEST(DefaultMessages, TextsKeepTheirExactSpacing) {
    EXPECT_STREQ(Default(AutoNumberQuestion).Text,
                 "Attempts to automatically number this record have failed.  Error: %ErrorText. Try Again?");
    EXPECT_STREQ(Default(ValueListNotice).Text, "The value of %Field must be in the list : %Message.");
    EXPECT_STREQ(Default(OpenError).Text, "File (%File) could not be opened.  Error: %ErrorText.");
    EXPECT_STREQ(Default(RetrievalError).Text,
                 "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to previous window.");
    EXPECT_STREQ(Default(ChangedByOtherRedisplay).Text,
                 "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
                 "Button or Ctrl+' to recall your changes.");
    EXPECT_STREQ(Default(CancelQuestion).Title, "Changes will be lost!");
    EXPECT_EQ(Default(TableNotOpenError).Level, LevelProgramError);
    EXPECT_EQ(Default(KeyRepairError).Level, LevelFatal);
    EXPECT_EQ(Default(SaveQuestion).Level, LevelAsk);
}

TEST(DefaultMessages, TableHoldsEachIdentifierOnceInLoadOrder) {
    auto table = DefaultMessageTable();
    ASSERT_EQ(table.size(), 40u);
    EXPECT_EQ(table.front().Id, InvalidKeyNotice);
    EXPECT_EQ(table.back().Id, QueryColumnNotice);
    std::vector<bool> seen(64);
    for (const DefaultMessage& m : table) {
        EXPECT_FALSE(seen[m.Id]) << m.Id;
        seen[m.Id] = true;
    }
}

TEST_F(MessageManagerTest, ErrorTextUsesTheFileSystemErrorForCode90) {
    SetLastError(FileSystemErr, 28, "No space left on device");
    dialog.Expect("File Access Error", ButtonOk);
    EXPECT_EQ(messages.RaiseFileError(OpenError, "/data/VERDO"), LevelFatal);
    EXPECT_EQ(dialog.Shown().back().Text,
              "File (/data/VERDO) could not be opened.  Error: No space left on device (28)."
              "  Press OK to end this application");

    SetLastError(FileNotFoundErr);
    dialog.Expect("Record was not updated", ButtonOk);
    EXPECT_EQ(messages.RaiseFileError(UpdateError, "RESFile"), LevelNotice);
    EXPECT_EQ(dialog.Shown().back().Text,
              "An error (File Not Found (2)) was experienced when making changes to the RESFile file.");
}

TEST_F(MessageManagerTest, EveryPlaceholderIsReplacedWhateverItsCase) {
    SetLastError(FileSystemErr, 13, "Permission denied");
    messages.CaptureError();
    messages.SetFileContext("F");
    messages.SetFieldContext("RES:FV:1");
    messages.SetTextContext("T");
    messages.PushProcedureName("UpdateRESFile");
    EXPECT_EQ(Substituted("[%file][%ERRORCODE][%errortext][%Error][%FILEERRORCODE][%fileerror][%message][%field]"
                          "[%procedure][%category][%File%File]"),
              "[F][90][Permission denied (13)][File System Error][13][Permission denied][T][RES:FV:1]"
              "[UpdateRESFile][QAT][FF]");
    EXPECT_EQ(Substituted("No placeholders: 100% | done"), "No placeholders: 100% | done");
}

TEST_F(MessageManagerTest, InsertedValuesAreNotExpandedAgain) {
    messages.SetTextContext("%File and %Procedure");
    messages.SetFileContext("C:/%Message/%ErrorText");
    EXPECT_EQ(Substituted("%Message in %File"), "%File and %Procedure in C:/%Message/%ErrorText");
}

TEST_F(MessageManagerTest, TextsAreLimited) {
    messages.SetFileContext(std::string(300, 'f'));
    EXPECT_EQ(messages.FILENAME.size(), MessageManager::ContextLimit);
    std::string many;
    for (int i = 0; i < 20; ++i) many += "%File";
    std::string text = Substituted(many);
    EXPECT_EQ(text, std::string(MessageManager::TextLimit, 'f'));
}

TEST_F(MessageManagerTest, CategoryIsTheTablesOrTheDefault) {
    messages.AddMessages(Table({{901, "%Category", "x", LevelNone, {}}}), "SMTP");
    messages.Raise(901);
    EXPECT_EQ(messages.SubstitutedText(), "SMTP");
    messages.DEFAULTCATEGORY = "Mine";
    EXPECT_EQ(Substituted("%Category"), "Mine");
}

TEST_F(MessageManagerTest, QuestionReturnsZeroForYesAndFourOtherwise) {
    dialog.Expect("Confirm Delete", ButtonYes);
    EXPECT_EQ(messages.Raise(DeleteQuestion), LevelNone);
    const MessageRequest& asked = dialog.Shown().back();
    EXPECT_EQ(asked.Text, "Are you sure you want to delete the highlighted record?");
    EXPECT_EQ(asked.Icon, IconExclamation);
    EXPECT_EQ(asked.Buttons, unsigned{ButtonYes | ButtonNo});
    EXPECT_EQ(asked.DefaultButton, unsigned{ButtonYes});

    dialog.Expect("Confirm Delete", ButtonNo);
    EXPECT_EQ(messages.Raise(DeleteQuestion), LevelCancelled);
    // The close box: the dialog answers with something that is not Yes.
    dialog.Expect("Changes will be lost!", ButtonCancel);
    EXPECT_EQ(messages.Raise(CancelQuestion), LevelCancelled);
    dialog.Expect("Changes will be lost!", 0);
    EXPECT_EQ(messages.Raise(CancelQuestion), LevelCancelled);

    messages.AddMessages(Table({{902, "Declined?", "Level four", LevelCancelled, {}}}));
    dialog.Expect("Level four", ButtonYes);
    EXPECT_EQ(messages.Raise(902), LevelNone);
}

TEST_F(MessageManagerTest, NoticeReturnsFiveAndLevelZeroShowsNothing) {
    dialog.Expect("No Records", ButtonOk);
    EXPECT_EQ(messages.Raise(NoRecordsNotice), LevelNotice);
    EXPECT_EQ(dialog.Shown().back().Icon, IconInformation);
    EXPECT_EQ(dialog.Shown().back().Buttons, unsigned{ButtonOk});

    messages.AddMessages(Table({{903, "quiet", "Quiet", LevelNone, {}}}));
    EXPECT_EQ(messages.Raise(903), LevelNone);
    EXPECT_EQ(dialog.Shown().size(), 1u);
}

TEST_F(MessageManagerTest, FatalAndUnlistedLevelsHaltAfterOk) {
    dialog.Expect("File Usage Error", ButtonOk);
    messages.RaiseForFile(TableNotOpenError, "ExtraSeg");
    EXPECT_EQ(halts, 1);
    const MessageRequest& shown = dialog.Shown().back();
    EXPECT_EQ(shown.Text, "Attempt to use file (ExtraSeg) before it was opened  Press OK to end this application");
    EXPECT_EQ(shown.Icon, IconInformation);
    EXPECT_EQ(shown.Buttons, unsigned{ButtonOk});

    messages.AddMessages(Table({{904, "odd", "Odd level", 9, {}}}));
    dialog.Expect("Odd level", ButtonOk);
    messages.Raise(904);
    EXPECT_EQ(halts, 2);
}

TEST(MessageManagerDeathTest, FatalMessageWithoutAWindowIsOneLineAndEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    MessageManager messages;
    messages.Initialise();
    // No window means nothing to press: the line ends with the failure itself.
    EXPECT_EXIT(messages.RaiseForFile(OpenError, "VERDO"), ::testing::ExitedWithCode(0),
                "VERDO: File Access Error: File \\(VERDO\\) could not be opened\\.  Error:  \\(0\\)\\.\n$");
}

TEST_F(MessageManagerTest, SilentShowsNothingAndTakesTheDefault) {
    messages.SILENT = true;
    EXPECT_EQ(messages.Raise(DeleteQuestion), LevelNone);
    EXPECT_EQ(messages.Raise(NoRecordsNotice), LevelNotice);
    EXPECT_EQ(messages.AskButtons(SaveQuestion, ButtonYes | ButtonNo | ButtonCancel, ButtonCancel),
              unsigned{ButtonCancel});
    EXPECT_EQ(messages.ShowMessage({"Missing Resource", "x", IconInformation, ButtonOk, ButtonOk}), unsigned{ButtonOk});
    messages.Raise(OpenError);
    EXPECT_EQ(halts, 1);
    EXPECT_TRUE(dialog.Shown().empty());
}

TEST_F(MessageManagerTest, AskButtonsUsesTheWarningIconWhateverTheLevel) {
    dialog.Expect("Record Update Error", ButtonCancel);
    EXPECT_EQ(messages.AskButtons(SaveRetryQuestion, ButtonYes | ButtonNo | ButtonCancel, ButtonCancel),
              unsigned{ButtonCancel});
    dialog.Expect("No Records", ButtonNo);
    EXPECT_EQ(messages.AskButtons(NoRecordsNotice, ButtonYes | ButtonNo, ButtonYes), unsigned{ButtonNo});
    EXPECT_EQ(dialog.Shown().back().Icon, IconExclamation);
    EXPECT_EQ(dialog.Shown().back().DefaultButton, unsigned{ButtonYes});
}

TEST_F(MessageManagerTest, UnknownIdentifierShowsNothingAndStillFails) {
    EXPECT_EQ(messages.Raise(999), LevelNotice);
    EXPECT_EQ(messages.SubstitutedText(), "");
    EXPECT_EQ(messages.AskButtons(999, ButtonYes | ButtonNo, ButtonNo), unsigned{ButtonNo});
    messages.Shutdown();
    EXPECT_EQ(messages.Raise(DeleteQuestion), LevelNotice);
}

TEST_F(MessageManagerTest, ProcedureNamesAreKeptPerThread) {
    messages.PushProcedureName("Main");
    const int browse = NewThreadNumber();
    {
        ThreadScope scope(browse);
        messages.PushProcedureName("BrowseRESFile");
        messages.PushProcedureName("UpdateRESFile");
        EXPECT_EQ(Substituted("%Procedure"), "UpdateRESFile");
    }
    EXPECT_EQ(Substituted("%Procedure"), "Main");
    messages.PopProcedureName();
    EXPECT_EQ(Substituted("%Procedure"), "");
    messages.PopProcedureName();  // nothing left for this thread: the others keep theirs
    ThreadScope scope(browse);
    messages.PopProcedureName();
    EXPECT_EQ(Substituted("%Procedure"), "BrowseRESFile");
    ASSERT_EQ(messages.PROCNAMES.size(), 1u);
    EXPECT_EQ(messages.PROCNAMES[0].THREAD, browse);
}

TEST_F(MessageManagerTest, AddMessagesReadsTheTableLayout) {
    const std::vector<uint8_t> table{2, 0,                                     // count
                                     0x02, 0x01, 5, 2, 'T', '1', 3, 'a', 'b', 'c',  // 258, notice
                                     0x03, 0x01, 0, 0, 0};                     // 259, empty texts
    const size_t before = messages.ERRORS.size();
    EXPECT_EQ(messages.AddMessages(table), 2u);
    ASSERT_EQ(messages.ERRORS.size(), before + 2);
    const MessageDefinition& first = messages.ERRORS[before];
    EXPECT_EQ(first.ID, 258);
    EXPECT_EQ(first.FATALITY, LevelNotice);
    EXPECT_EQ(first.TITLE, "T1");
    EXPECT_EQ(first.MESSAGE, "abc");
    EXPECT_EQ(messages.ERRORS[before + 1].ID, 259);
    EXPECT_EQ(messages.ERRORS[before + 1].MESSAGE, "");
}

TEST_F(MessageManagerTest, AddMessagesStopsAtATableCutShort) {
    std::vector<uint8_t> table = Table({{910, "complete", "A", LevelNotice, {}}, {911, "cut here", "B", LevelNotice, {}}});
    table.resize(table.size() - 3);
    const size_t before = messages.ERRORS.size();
    EXPECT_EQ(messages.AddMessages(table), 1u);
    EXPECT_EQ(messages.ERRORS.size(), before + 1);
    EXPECT_EQ(messages.AddMessages(std::vector<uint8_t>{5}), 0u);
    EXPECT_EQ(messages.AddMessages(std::vector<uint8_t>{5, 0}), 0u);
    EXPECT_EQ(messages.ERRORS.size(), before + 1);
}

TEST_F(MessageManagerTest, InitialiseSetsTheDefaults) {
    messages.DEFAULTCATEGORY = "x";
    messages.HISTORYTHRESHOLD = 7;
    messages.HISTORYVIEWLEVEL = LevelNotice;
    messages.HISTORYRESETONVIEW = true;
    messages.PushProcedureName("Main");
    messages.Initialise();
    EXPECT_EQ(messages.ERRORS.size(), DefaultMessageTable().size());
    EXPECT_EQ(messages.DEFAULTCATEGORY, "QAT");
    EXPECT_EQ(messages.HISTORYTHRESHOLD, 0);
    EXPECT_EQ(messages.HISTORYVIEWLEVEL, LevelFatal);
    EXPECT_FALSE(messages.HISTORYRESETONVIEW);
    EXPECT_TRUE(messages.PROCNAMES.empty());
    EXPECT_FALSE(messages.SILENT);
    EXPECT_FALSE(messages.LOGERRORS);
    EXPECT_EQ(messages.ERRORLOG.Path, "QATError.Log");
}
