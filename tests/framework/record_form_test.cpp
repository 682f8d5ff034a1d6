#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/SettingsFile.h"
#include "framework/WindowManager.h"
#include "runtime/text/Text.h"
#include "runtime/window/ControlDefs.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/ProgramFixture.h"

using namespace verdo;
using verdo::test::FakeWindow;

namespace {

ControlDef Control(const std::string& name, ControlKind kind) { return MakeControl(name, kind, 0, 0); }

WindowDef FormDefinition() {
    WindowDef def;
    def.Procedure = "UpdateRESFile";
    def.Width = 435;
    def.Height = 245;
    def.Controls = {
        Control("?RES:PROJECTNAME", ControlKind::Entry),
        Control("?RES:DESCRIPTION", ControlKind::Entry),
        Control("?OK", ControlKind::Button),
        Control("?CANCEL", ControlKind::Button),
    };
    return def;
}

RESFileRecord dittoCopy;

// A small project form: the steps every form of the program takes, over the shared
// project buffer.
class ProjectForm : public WindowManager {
public:
    explicit ProjectForm(FakeWindow& window) : window_(window) { SetWindow(&window); }

    uint8_t Start() override {
        ERRORS->PushProcedureName("UpdateRESFile");
        REQUEST = GlobalRequest;
        if (WindowManager::Start() != LevelNone) return LevelNotice;
        ClearGlobalRequest();
        FIRSTFIELD = window_.ControlNumber("?RES:PROJECTNAME");
        HISTORYKEY = DittoKey;
        DittoRecord(&RES, &dittoCopy, RESFileTable());
        DittoField(window_.ControlNumber("?RES:DESCRIPTION"), RESFileTable().FieldIndex("RES:Description") + 1);
        AddSavedTable(Access_RESFile);
        AddCloseButton(window_.ControlNumber("?CANCEL"), Response::Cancelled);
        Relate_RESFile->Open();
        FILESOPENED = true;
        PRIMARY = Relate_RESFile;
        OKCONTROL = window_.ControlNumber("?OK");
        if (Configure) Configure(*this);
        if (PrepareRequest() != LevelNone) return LevelNotice;
        OpenWindow("UpdateRESFile", true);
        RegisterAlertKeys();
        return LevelNone;
    }

    uint8_t Finish() override {
        if (WindowManager::Finish() != LevelNone) return LevelNotice;
        if (FILESOPENED) Relate_RESFile->Close();
        ERRORS->PopProcedureName();
        return LevelNone;
    }

    void PrimeNewRecord() override { ++primed; }

    std::function<void(ProjectForm&)> Configure;
    int primed = 0;

private:
    FakeWindow& window_;
};

class RecordForm : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        GlobalSettings().Open(dir.File("VERDO.INI"));
        // The browse that calls the form keeps the table open around it.
        Relate_RESFile->Open();
    }
    void TearDown() override {
        Relate_RESFile->Close();
        GlobalSettings().Close();
        ProgramFixture::TearDown();
    }

    // Reads a project into the shared buffer, as the browse does before it calls the form.
    void Load(int32_t number) {
        RES.RESNumber = number;
        ASSERT_EQ(Access_RESFile->TryFetch(Access_RESFile->KeyNumber("RES:RESNumberK")), LevelNone);
    }
    std::string Stored(const std::string& column, int32_t number) {
        return StoreValue("SELECT " + column + " FROM RESFile WHERE RESNumber = " + std::to_string(number));
    }
    std::string Rows() { return StoreValue("SELECT count(*) FROM RESFile"); }
    uint8_t Run(uint8_t request) {
        GlobalRequest = request;
        ProjectForm form(window);
        form.Configure = configure;
        uint8_t response = form.RunWindow();
        primed = form.primed;
        EXPECT_TRUE(Access_RESFile->SAVED.empty()) << "saved states left behind";
        return response;
    }
    void Type(const std::string& description) {
        window.Then([description] { AssignField(RES.Description, description); });
    }
    void Press(const std::string& control) { window.Inject(Event::Accepted, control); }

    FakeWindow window{FormDefinition()};
    std::function<void(ProjectForm&)> configure;
    int primed = 0;
};

// The same form over a store on the server, where a write can be refused at its commit.
class RecordFormOnServer : public RecordForm {
protected:
    void SetUp() override {
        onServer = true;
        RecordForm::SetUp();
    }
};

}  // namespace

TEST_F(RecordForm, CancelOnAnUnchangedChangeFormClosesWithoutAQuestion) {
    Load(AddProject("ALPHA"));
    Press("?CANCEL");
    EXPECT_EQ(Run(Request::Change), Response::Cancelled);
    EXPECT_TRUE(dialog.Shown().empty());
    EXPECT_TRUE(window.CallMade("Closed"));
    EXPECT_EQ(GlobalRequest, Request::None);
}

TEST_F(RecordForm, CancelOnAChangedFormAsksToSaveAndCancelThereKeepsTheInput) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    Type("Changed");
    Press("?CANCEL");
    dialog.Expect("Save Record", ButtonCancel);
    bool stillOpen = false;
    std::string kept;
    window.Then([&] {
        stillOpen = window.IsOpen();
        kept = FieldText(RES.Description);
        EXPECT_EQ(window.FocusedControl(), window.ControlNumber("?RES:PROJECTNAME"));
    });
    Press("?CANCEL");
    dialog.Expect("Save Record", ButtonNo);

    EXPECT_EQ(Run(Request::Change), Response::Cancelled);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(kept, "Changed");
    EXPECT_EQ(Stored("Description", number), "");
    const MessageRequest& asked = dialog.Shown().at(0);
    EXPECT_EQ(asked.Text, "Do you want to save the changes to this record?");
    EXPECT_EQ(asked.Buttons, ButtonYes | ButtonNo | ButtonCancel);
    EXPECT_EQ(asked.DefaultButton, ButtonCancel);
}

TEST_F(RecordForm, YesToTheSaveQuestionSavesAsOkDoes) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    Type("Changed");
    window.Inject(Event::CloseWindow);
    dialog.Expect("Save Record", ButtonYes);
    EXPECT_EQ(Run(Request::Change), Response::Completed);
    EXPECT_TRUE(window.CallMade("ValidateAll"));
    EXPECT_EQ(Stored("Description", number), "Changed");
}

TEST_F(RecordForm, CancelQuestionAndSavingWithoutAskingFollowTheCancelAction) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    configure = [](ProjectForm& form) { form.CANCELACTION = 0; };
    Type("Dropped");
    Press("?CANCEL");
    EXPECT_EQ(Run(Request::Change), Response::Cancelled);
    EXPECT_TRUE(dialog.Shown().empty());

    Load(number);
    configure = [](ProjectForm& form) { form.CANCELACTION = WindowManager::CancelAsks; };
    Type("Asked");
    Press("?CANCEL");
    dialog.Expect("Changes will be lost!", ButtonNo);
    Press("?CANCEL");
    dialog.Expect("Changes will be lost!", ButtonYes);
    EXPECT_EQ(Run(Request::Change), Response::Cancelled);
    EXPECT_EQ(Stored("Description", number), "");

    Load(number);
    configure = [](ProjectForm& form) { form.CANCELACTION = WindowManager::CancelOffersSave; };
    Type("Saved");
    Press("?CANCEL");
    EXPECT_EQ(Run(Request::Change), Response::Completed);
    EXPECT_EQ(Stored("Description", number), "Saved");
}

TEST_F(RecordForm, OkWithoutAChangeWritesNothingAndCompletes) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    // Another station's change would be refused, or overwritten, by any write.
    StoreSql("UPDATE RESFile SET Notes = 'theirs' WHERE RESNumber = " + std::to_string(number));
    Press("?OK");
    EXPECT_EQ(Run(Request::Change), Response::Completed);
    EXPECT_TRUE(dialog.Shown().empty());
    EXPECT_EQ(Stored("Notes", number), "theirs");
    EXPECT_TRUE(window.CallMade("Wait on"));
    EXPECT_TRUE(window.CallMade("Wait off"));
}

TEST_F(RecordForm, AFailedChangeOffersToRetryAndNoClosesWithoutAskingToSave) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    StoreSql("CREATE TRIGGER NoChange BEFORE UPDATE ON RESFile BEGIN SELECT RAISE(ABORT, 'locked'); END");
    Type("Changed");
    Press("?OK");
    dialog.Expect("Record was not updated", ButtonOk);
    dialog.Expect("Record Update Error", ButtonCancel);
    window.Then([&] { EXPECT_TRUE(window.IsOpen()); });
    Press("?OK");
    dialog.Expect("Record was not updated", ButtonOk);
    dialog.Expect("Record Update Error", ButtonYes);
    dialog.Expect("Record was not updated", ButtonOk);
    dialog.Expect("Record Update Error", ButtonNo);
    EXPECT_EQ(Run(Request::Change), Response::Cancelled);
    EXPECT_EQ(dialog.Shown().at(1).Buttons, ButtonYes | ButtonNo | ButtonCancel);
    EXPECT_EQ(dialog.Shown().at(1).DefaultButton, ButtonCancel);
    EXPECT_EQ(Stored("Description", number), "");
}

TEST_F(RecordFormOnServer, AChangeWhoseCommitFailsIsNotReportedAsSavedAndOffersToRetry) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    StoreSql("CREATE FUNCTION refuse_commit() RETURNS trigger LANGUAGE plpgsql AS "
             "$$ BEGIN RAISE EXCEPTION 'refused at commit'; END $$;"
             "CREATE CONSTRAINT TRIGGER at_commit AFTER UPDATE ON RESFile DEFERRABLE INITIALLY DEFERRED "
             "FOR EACH ROW EXECUTE FUNCTION refuse_commit()");
    Type("Changed");
    Press("?OK");
    dialog.Expect("Record was not updated", ButtonOk);
    dialog.Expect("Record Update Error", ButtonNo);
    EXPECT_EQ(Run(Request::Change), Response::Cancelled);
    ASSERT_EQ(dialog.Shown().size(), 2u);
    EXPECT_NE(dialog.Shown()[0].Text.find("refused at commit"), std::string::npos) << dialog.Shown()[0].Text;
    EXPECT_EQ(Stored("Description", number), "");
}

TEST_F(RecordForm, ADeleteRequestDeletesAfterTheQuestionWithoutShowingTheForm) {
    int32_t kept = AddProject("KEPT");
    int32_t gone = AddProject("GONE");
    AddExtraItem(gone, "Extra", "Item");

    Load(kept);
    dialog.Expect("Confirm Delete", ButtonNo);
    EXPECT_EQ(Run(Request::Delete), Response::Cancelled);
    EXPECT_EQ(Stored("ProjectName", kept), "KEPT");

    Load(gone);
    dialog.Expect("Confirm Delete", ButtonYes);
    EXPECT_EQ(Run(Request::Delete), Response::Completed);
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(StoreValue("SELECT count(*) FROM ExtraSeg"), "0");
    EXPECT_FALSE(window.CallMade("Open"));
    EXPECT_EQ(GlobalSettings().ReadValue("UpdateRESFile", "Maximize"), "");
}

TEST_F(RecordForm, ADeleteOnOkThatFailsOffersToRetry) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    StoreSql("CREATE TRIGGER NoDelete BEFORE DELETE ON RESFile BEGIN SELECT RAISE(ABORT, 'kept'); END");
    configure = [](ProjectForm& form) { form.DELETEACTION = 1; };
    Press("?OK");
    dialog.Expect("Record was not deleted", ButtonOk);
    dialog.Expect("Record Delete Error", ButtonNo);
    EXPECT_EQ(Run(Request::Delete), Response::Cancelled);
    EXPECT_TRUE(window.CallMade("Open"));
    EXPECT_EQ(Rows(), "1");
}

TEST_F(RecordForm, AnInsertFormCancelledGivesTheReservedNumberBack) {
    for (bool closeBox : {false, true}) {
        ASSERT_EQ(Access_RESFile->PrimeRecord(), LevelNone);
        EXPECT_EQ(Rows(), "1");
        if (closeBox)
            window.Inject(Event::CloseWindow);
        else
            Press("?CANCEL");
        EXPECT_EQ(Run(Request::Insert), Response::Cancelled) << closeBox;
        EXPECT_EQ(primed, 1);
        EXPECT_EQ(Rows(), "0") << closeBox;
        EXPECT_FALSE(Access_RESFile->Info().AUTOINCDONE);
    }
}

TEST_F(RecordForm, AnInsertStoresTheNewRecord) {
    ASSERT_EQ(Access_RESFile->PrimeRecord(), LevelNone);
    window.Then([] { AssignField(RES.ProjectName, "NEW"); });
    Press("?OK");
    EXPECT_EQ(Run(Request::Insert), Response::Completed);
    EXPECT_EQ(Stored("ProjectName", 1), "NEW");
    EXPECT_EQ(Rows(), "1");
}

TEST_F(RecordForm, StayingForTheNextRecordAndCancellingItReturnsTheLastInsert) {
    ASSERT_EQ(Access_RESFile->PrimeRecord(), LevelNone);
    configure = [](ProjectForm& form) { form.INSERTACTION = WindowManager::InsertStays; };
    window.Then([] { AssignField(RES.ProjectName, "FIRST"); });
    Press("?OK");
    int32_t next = 0;
    window.Then([&] { next = RES.RESNumber; });
    Press("?CANCEL");
    // The new number makes the fresh record differ from the one saved at its start.
    dialog.Expect("Save Record", ButtonNo);
    EXPECT_EQ(Run(Request::Insert), Response::Completed);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(primed, 2);
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(RES.RESNumber, 1);
    EXPECT_EQ(FieldText(RES.ProjectName), "FIRST");
}

TEST_F(RecordForm, AnotherRecordQuestionDecidesWhetherTheFormStays) {
    ASSERT_EQ(Access_RESFile->PrimeRecord(), LevelNone);
    configure = [](ProjectForm& form) { form.INSERTACTION = WindowManager::InsertAsks; };
    window.Then([] { AssignField(RES.ProjectName, "FIRST"); });
    Press("?OK");
    dialog.Expect("Record Added", ButtonYes);
    window.Then([] { AssignField(RES.ProjectName, "SECOND"); });
    Press("?OK");
    dialog.Expect("Record Added", ButtonNo);
    EXPECT_EQ(Run(Request::Insert), Response::Completed);
    EXPECT_EQ(Stored("ProjectName", 1), "FIRST");
    EXPECT_EQ(Stored("ProjectName", 2), "SECOND");
}

TEST_F(RecordForm, ANumberThatCannotBeReservedForTheNextRecordKeepsTheOneJustStored) {
    ASSERT_EQ(Access_RESFile->PrimeRecord(), LevelNone);
    StoreSql("CREATE TRIGGER NoMore BEFORE INSERT ON RESFile BEGIN SELECT RAISE(ABORT, 'full'); END");
    configure = [](ProjectForm& form) { form.INSERTACTION = WindowManager::InsertStays; };
    window.Then([] { AssignField(RES.ProjectName, "FIRST"); });
    Press("?OK");
    dialog.Expect("Auto Increment Error", ButtonNo);
    EXPECT_EQ(Run(Request::Insert), Response::Completed);
    EXPECT_EQ(Stored("ProjectName", 1), "FIRST");
    EXPECT_FALSE(window.IsOpen());
}

TEST_F(RecordForm, TheDittoKeyRecallsTheLastOkAfterAnotherStationsChangeIsShown) {
    int32_t number = AddProject("ALPHA");
    Load(number);
    int description = window.ControlNumber("?RES:DESCRIPTION");
    Type("Mine");
    window.Then([&] {
        StoreSql("UPDATE RESFile SET Description = 'Theirs' WHERE RESNumber = " + std::to_string(number));
    });
    Press("?OK");
    dialog.Expect("Record Was Not Updated", ButtonOk);
    std::string shown;
    window.Then([&] { shown = FieldText(RES.Description); });
    window.Inject(Event::AlertKey, description, WindowManager::DittoKey);
    Press("?OK");

    EXPECT_EQ(Run(Request::Change), Response::Completed);
    EXPECT_TRUE(window.CallMade("Alert 2 734"));
    EXPECT_EQ(shown, "Theirs");
    EXPECT_EQ(dialog.Shown().at(0).Text,
              "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
              "Button or Ctrl+' to recall your changes.");
    EXPECT_TRUE(window.CallMade("Display 2"));
    EXPECT_EQ(Stored("Description", number), "Mine");
}

TEST_F(RecordForm, AnOpenedFormKeepsItsPlacementUnderItsProcedureName) {
    Load(AddProject("ALPHA"));
    Press("?CANCEL");
    Run(Request::Change);
    EXPECT_EQ(GlobalSettings().ReadValue("UpdateRESFile", "Maximize"), "No");
    EXPECT_EQ(GlobalMessages().PROCNAMES.size(), 0u);
}
