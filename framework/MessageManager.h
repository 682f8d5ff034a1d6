#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ConsoleMessageDialog.h"
#include "framework/ErrorLog.h"
#include "runtime/window/HistoryDialog.h"
#include "runtime/window/MessageDialog.h"
#include "framework/MessageLevels.h"

namespace verdo {

// One message definition. The level in FATALITY decides how the message is shown and
// what raising it returns.
struct MessageDefinition {
    uint16_t ID = 0;
    std::string MESSAGE;
    std::string TITLE;
    uint8_t FATALITY = LevelNone;
    std::string CATEGORY;  // empty: the manager's DEFAULTCATEGORY
};

// An open procedure, kept under the logical thread it runs on.
struct ProcedureName {
    int32_t THREAD = 0;
    std::string NAME;
};

// Turns message identifiers into messages. Callers hand over an identifier and the
// context of a failure (file, field, free text, the run-time error state) and act on
// the level that comes back; they never build message texts themselves.
class MessageManager {
public:
    static constexpr size_t ContextLimit = 255;
    static constexpr size_t TextLimit = 2000;
    static constexpr const char* FatalSuffix = "  Press OK to end this application";

    MessageManager();
    MessageManager(const MessageManager&) = delete;
    MessageManager& operator=(const MessageManager&) = delete;

    // Loads the standard messages and sets the defaults; called once at start-up.
    void Initialise();
    void Shutdown();

    // Appends definitions from a table: 16-bit count, then per entry 16-bit ID, 8-bit
    // level, title and text each as a length byte and that many characters (numbers
    // low byte first). A table cut short adds the entries that are complete. Returns the
    // number of definitions added.
    size_t AddMessages(std::span<const uint8_t> table, std::string_view category = {});

    void PushProcedureName(std::string_view name);
    void PopProcedureName();

    void SetFileContext(std::string_view text);
    void SetFieldContext(std::string_view text);
    void SetTextContext(std::string_view text);
    // Keeps the running thread's last run-time error for the next message.
    void CaptureError();

    // Shows the message by its level and returns the result: LevelNone for level 0,
    // LevelNone or LevelCancelled for a question (Yes or anything else), LevelNotice for
    // a notice. A fatal message ends the program. An identifier without a definition
    // shows nothing and returns LevelNotice, so the caller still treats it as a failure.
    uint8_t Raise(uint16_t id);
    uint8_t RaiseForFile(uint16_t id, std::string_view fileName);
    uint8_t RaiseForField(uint16_t id, std::string_view fieldName);
    uint8_t RaiseWithText(uint16_t id, std::string_view text);
    // Captures the run-time error and names the file: the report of a failed file operation.
    uint8_t RaiseFileError(uint16_t id, std::string_view fileName);

    // Asks the message's text with the given buttons and the warning icon, whatever its
    // level; returns the bit of the button pressed (the default when silent or unknown).
    unsigned AskButtons(uint16_t id, unsigned buttons, unsigned defaultButton);

    // The current message's text with its placeholders filled in.
    std::string SubstitutedText() const;

    // Shows a message of the program's own through the message dialog; returns the bit of
    // the button pressed, or the default button when SILENT.
    unsigned ShowMessage(const MessageRequest& request);

    // The dialogs are not owned; nullptr puts the console presenter (or, for the history,
    // the message dialog) back.
    void SetDialog(MessageDialog* dialog) { dialog_ = dialog; }
    void SetHistoryDialog(HistoryDialog* dialog) { historyDialog_ = dialog; }
    // What ending the program does after a fatal message; empty puts the default back
    // (flush the standard streams, end the process with status 0).
    void SetHaltHandler(std::function<void()> halt);

    std::vector<MessageDefinition> ERRORS;
    std::string DEFAULTCATEGORY = "QAT";
    std::string FIELDNAME;
    std::string FILENAME;
    std::string MESSAGETEXT;
    std::string SAVEERROR;
    int32_t SAVEERRORCODE = 0;
    std::string SAVEFILEERROR;
    int32_t SAVEFILEERRORCODE = 0;
    std::vector<ProcedureName> PROCNAMES;
    bool SILENT = false;
    bool LOGERRORS = false;
    ErrorLog ERRORLOG;
    std::vector<HistoryEntry> HISTORY;
    int32_t HISTORYTHRESHOLD = 0;
    uint8_t HISTORYVIEWLEVEL = LevelFatal;
    bool HISTORYRESETONVIEW = false;

private:
    bool Select(uint16_t id);
    std::string CurrentProcedure() const;
    std::string Category() const;
    // Log, history and dialog for the messages Raise shows; text is the substituted text
    // without anything the level adds to it.
    unsigned ShowRaised(const MessageRequest& request, const std::string& text, uint8_t level);
    void Halt();

    std::optional<size_t> current_;
    MessageDialog* dialog_ = nullptr;
    HistoryDialog* historyDialog_ = nullptr;
    ConsoleMessageDialog console_;
    std::function<void()> halt_;
};

// The program's one message manager.
MessageManager& GlobalMessages();

}  // namespace verdo
