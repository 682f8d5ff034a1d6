#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Requests.h"
#include "runtime/store/StoreTable.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/Window.h"

namespace verdo {

class FileManager;
class MessageManager;
class RelationManager;
class ToolbarForwarder;
class WindowItem;
struct TableDef;

// Runs the life of one window: start, event loop, the dispatch of its events, the OK
// and Cancel logic of a record form, and finish. Every window procedure owns one and
// specialises it by overriding some of its operations. Handlers return levels: 0 lets
// the event go on, anything else means it was dealt with here.
class WindowManager : public WindowEventHandler {
public:
    // INSERTACTION: what follows a successful insert.
    static constexpr uint8_t InsertCloses = 2;
    static constexpr uint8_t InsertStays = 3;
    static constexpr uint8_t InsertAsks = 4;
    // DELETEACTION: a delete request carried out at start, with or without the question;
    // any other value shows the form and deletes on OK.
    static constexpr uint8_t DeleteAsksAtStart = 2;
    static constexpr uint8_t DeleteAtStart = 4;
    // CANCELACTION bits for a changed record.
    static constexpr uint8_t CancelOffersSave = 1;
    static constexpr uint8_t CancelAsks = 2;
    // The ditto key of the program's forms: Ctrl together with the apostrophe key.
    static constexpr int DittoKey = Key::CtrlFlag | Key::Apostrophe;

    WindowManager();
    ~WindowManager() override;
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // The window this manager runs; the manager becomes its event handler. The second
    // form hands the window over to the manager.
    void SetWindow(Window* window);
    void SetWindow(std::unique_ptr<Window> window);
    Window* GetWindow() const { return window_; }
    // Opens the window and marks it opened; a placed window gets the position and size it
    // had when it closed last, kept in the settings file under the procedure's name, and
    // keeps them there again when the manager finishes.
    uint8_t OpenWindow(const std::string& procedure, bool placed);

    virtual uint8_t EventLoop();
    virtual uint8_t Start();
    virtual uint8_t Finish();
    virtual void Opened();
    virtual void PrimeNewRecord();
    // Saves the record buffers so that a later difference counts as a change. Non-zero
    // when the request was carried out here and the window is not to be shown.
    virtual uint8_t PrepareRequest();
    virtual void Refresh(bool force = false);
    virtual uint8_t DittoRestore(int control);
    virtual uint8_t RunWindow();
    virtual uint8_t RunProcedure(int number, uint8_t request);
    virtual void RegisterAlertKeys();
    virtual void EndWithResponse(uint8_t response);
    virtual uint8_t OnAccepted(int control);
    virtual uint8_t OnCompleted();
    virtual uint8_t OnCloseRequest();
    int OnEvent(const WindowEvent& event) override;
    virtual uint8_t OnFieldEvent(const WindowEvent& event);
    virtual uint8_t OnNewSelection(int control);
    virtual uint8_t OnRejected(int control);
    virtual uint8_t OnSelected(int control);
    virtual uint8_t OnWindowEvent(const WindowEvent& event);
    virtual void UpdateItems();

    // Registration, done by a window's Start. Items and toolbars are not owned.
    void RegisterItem(WindowItem* item);
    void AddSavedTable(FileManager* manager);
    void AddCloseButton(int control, uint8_t response);
    // The record whose fields the ditto key brings back, the copy that keeps their values
    // from the last OK (of the record's size) and the record's layout.
    void DittoRecord(void* live, void* saved, const TableDef& layout);
    // A control of the record registered last, with its field number (from 1, groups
    // counted as fields).
    void DittoField(int control, int fieldNumber);
    void AttachToolbar(ToolbarForwarder* toolbar);
    // The resizer is an item like the others, known to the manager by name as well.
    void AttachResizer(WindowItem* resizer);

    const std::vector<WindowItem*>& Items() const { return items_; }

    struct SavedTable {
        FileManager* MANAGER = nullptr;
        uint16_t SAVED = 0;
    };
    struct CloseButton {
        int CONTROL = 0;
        uint8_t ACTION = Response::Undecided;
    };
    struct DittoEntry {
        void* FRECORD = nullptr;
        void* SRECORD = nullptr;
        const TableDef* LAYOUT = nullptr;
        int CONTROL = 0;
        int FIELDNO = 0;
    };

    uint8_t REQUEST = Request::None;
    uint8_t ORIGINALREQUEST = Request::None;
    uint8_t RESPONSE = Response::Undecided;
    uint8_t INSERTACTION = InsertCloses;
    uint8_t CHANGEACTION = 1;
    uint8_t DELETEACTION = DeleteAsksAtStart;
    uint8_t CANCELACTION = CancelOffersSave | CancelAsks;
    int OKCONTROL = 0;
    int FIRSTFIELD = 0;
    RelationManager* PRIMARY = nullptr;
    std::vector<SavedTable> FILES;
    std::vector<CloseButton> BUTTONS;
    std::vector<DittoEntry> HISTORY;
    int HISTORYKEY = 0;
    ToolbarForwarder* TOOLBAR = nullptr;
    WindowItem* RESIZE = nullptr;
    std::function<void(Window&)> TRANSLATOR;
    bool AUTOREFRESH = true;
    bool AUTOTOOLBAR = true;
    bool OPENED = false;
    bool DEAD = false;
    bool FORCEDRESET = false;
    bool RESETONGAINFOCUS = false;
    uint16_t SAVED = 0;
    // Where the record inserted last through this form stands; blank (no current row)
    // until one is.
    StoreTable::Position LASTINSERTEDPOSITION;
    MessageManager* ERRORS = nullptr;
    bool FILESOPENED = false;
    bool INITED = false;
    uint8_t VCRREQUEST = 0;

protected:
    // Closes the window after the user has already answered for the record, so that
    // closing asks nothing more.
    void CloseWithoutQuestions();
    bool Validating() const { return validating_; }

private:
    uint8_t CompleteInsert();
    uint8_t CompleteChange();
    uint8_t CompleteDelete();
    // Asks a retry question after a failed write: true to try again; otherwise No has
    // closed the window and Cancel has returned to the first field.
    bool AskRetry(uint16_t question);
    // Whether the primary record buffer differs from, or equals, the one saved at start.
    bool RecordChanged() const;
    bool RecordUnchanged() const;
    void FocusFirstField();
    void Redisplay(int control = 0);
    void Post(int code, int control = 0);

    struct DittoPair {
        void* Live;
        void* Saved;
        const TableDef* Layout;
    };

    Window* window_ = nullptr;
    std::unique_ptr<Window> ownedWindow_;
    std::vector<WindowItem*> items_;
    std::vector<DittoPair> dittoRecords_;
    std::string placement_;   // the procedure under which the placement is kept
    bool placed_ = false;
    bool openedRan_ = false;  // Opened has run
    int resizeEvents_ = 0;
    bool validating_ = false;
    bool questionsSettled_ = false;
};

}  // namespace verdo
