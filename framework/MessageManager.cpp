#include "framework/MessageManager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "framework/DefaultMessages.h"
#include "runtime/LogicalThread.h"
#include "runtime/RuntimeError.h"
#include "runtime/datetime/Pictures.h"

namespace verdo {

namespace {

std::string Limited(std::string_view text, size_t limit) { return std::string(text.substr(0, limit)); }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(text[at + i]);
        unsigned char b = static_cast<unsigned char>(word[i]);
        if (a != b && !(a < 128 && b < 128 && std::tolower(a) == std::tolower(b))) return false;
    }
    return true;
}

void DefaultHalt() {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    // Whatever ended it, the program's exit status is always 0.
    std::_Exit(0);
}

}  // namespace

MessageManager::MessageManager() : halt_(DefaultHalt) {}

void MessageManager::Initialise() {
    ERRORS.clear();
    for (const DefaultMessage& m : DefaultMessageTable()) ERRORS.push_back({m.Id, m.Text, m.Title, m.Level, {}});
    PROCNAMES.clear();
    HISTORY.clear();
    ERRORLOG = ErrorLog{};
    DEFAULTCATEGORY = "QAT";
    HISTORYTHRESHOLD = 0;
    HISTORYVIEWLEVEL = LevelFatal;
    HISTORYRESETONVIEW = false;
    current_.reset();
}

void MessageManager::Shutdown() {
    ERRORS.clear();
    PROCNAMES.clear();
    HISTORY.clear();
    current_.reset();
}

size_t MessageManager::AddMessages(std::span<const uint8_t> table, std::string_view category) {
    size_t at = 0;
    auto byte = [&](uint8_t& out) {
        if (at >= table.size()) return false;
        out = table[at++];
        return true;
    };
    auto word = [&](uint16_t& out) {
        uint8_t low = 0, high = 0;
        if (!byte(low) || !byte(high)) return false;
        out = static_cast<uint16_t>(low | high << 8);
        return true;
    };
    auto text = [&](std::string& out) {
        uint8_t length = 0;
        if (!byte(length) || table.size() - at < length) return false;
        out.assign(reinterpret_cast<const char*>(table.data() + at), length);
        at += length;
        return true;
    };
    uint16_t count = 0;
    if (!word(count)) return 0;
    size_t added = 0;
    for (; added < count; ++added) {
        MessageDefinition d;
        if (!word(d.ID) || !byte(d.FATALITY) || !text(d.TITLE) || !text(d.MESSAGE)) break;
        d.CATEGORY = category;
        ERRORS.push_back(std::move(d));
    }
    return added;
}

void MessageManager::PushProcedureName(std::string_view name) {
    PROCNAMES.push_back({CurrentThread(), std::string(name)});
}

void MessageManager::PopProcedureName() {
    const int thread = CurrentThread();
    auto last = std::find_if(PROCNAMES.rbegin(), PROCNAMES.rend(),
                             [thread](const ProcedureName& p) { return p.THREAD == thread; });
    if (last != PROCNAMES.rend()) PROCNAMES.erase(std::next(last).base());
}

void MessageManager::SetFileContext(std::string_view text) { FILENAME = Limited(text, ContextLimit); }
void MessageManager::SetFieldContext(std::string_view text) { FIELDNAME = Limited(text, ContextLimit); }
void MessageManager::SetTextContext(std::string_view text) { MESSAGETEXT = Limited(text, ContextLimit); }

void MessageManager::CaptureError() {
    const RuntimeErrorState& e = LastError();
    SAVEERRORCODE = e.Code;
    SAVEERROR = Limited(e.Text, ContextLimit);
    SAVEFILEERRORCODE = e.FileCode;
    SAVEFILEERROR = Limited(e.FileText, ContextLimit);
}

bool MessageManager::Select(uint16_t id) {
    auto found = std::find_if(ERRORS.begin(), ERRORS.end(), [id](const MessageDefinition& d) { return d.ID == id; });
    if (found == ERRORS.end()) {
        current_.reset();
        return false;
    }
    current_ = static_cast<size_t>(found - ERRORS.begin());
    return true;
}

std::string MessageManager::CurrentProcedure() const {
    const int thread = CurrentThread();
    auto last = std::find_if(PROCNAMES.rbegin(), PROCNAMES.rend(),
                             [thread](const ProcedureName& p) { return p.THREAD == thread; });
    return last == PROCNAMES.rend() ? std::string() : last->NAME;
}

std::string MessageManager::Category() const {
    if (current_ && !ERRORS[*current_].CATEGORY.empty()) return ERRORS[*current_].CATEGORY;
    return DEFAULTCATEGORY;
}

std::string MessageManager::SubstitutedText() const {
    if (!current_) return {};
    const std::string errorText = SAVEERRORCODE == FileSystemErr
                                      ? SAVEFILEERROR + " (" + std::to_string(SAVEFILEERRORCODE) + ")"
                                      : SAVEERROR + " (" + std::to_string(SAVEERRORCODE) + ")";
    // Longer placeholders come before the ones they begin with, so that "%FileError" is
    // not taken for "%File" followed by "Error".
    const std::pair<std::string_view, std::string> values[] = {
        {"%FileErrorCode", std::to_string(SAVEFILEERRORCODE)},
        {"%FileError", SAVEFILEERROR},
        {"%ErrorCode", std::to_string(SAVEERRORCODE)},
        {"%ErrorText", errorText},
        {"%Error", SAVEERROR},
        {"%File", FILENAME},
        {"%Message", MESSAGETEXT},
        {"%Field", FIELDNAME},
        {"%Procedure", CurrentProcedure()},
        {"%Category", Category()},
    };
    // One pass from left to right: an inserted value is never searched again, so a file
    // name or text that itself contains "%..." shows as it is.
    const std::string_view message = ERRORS[*current_].MESSAGE;
    std::string result;
    for (size_t at = 0; at < message.size() && result.size() < TextLimit;) {
        const auto* match = message[at] != '%' ? std::end(values)
                                               : std::find_if(std::begin(values), std::end(values), [&](const auto& v) {
                                                     return StartsWithNoCase(message, at, v.first);
                                                 });
        if (match == std::end(values)) {
            result += message[at++];
        } else {
            result += match->second;
            at += match->first.size();
        }
    }
    if (result.size() > TextLimit) result.resize(TextLimit);
    return result;
}

unsigned MessageManager::ShowMessage(const MessageRequest& request) {
    if (SILENT) return request.DefaultButton;
    return (dialog_ ? *dialog_ : static_cast<MessageDialog&>(console_)).Show(request);
}

unsigned MessageManager::AskButtons(uint16_t id, unsigned buttons, unsigned defaultButton) {
    if (!Select(id)) return defaultButton;
    return ShowMessage({ERRORS[*current_].TITLE, SubstitutedText(), IconExclamation, buttons, defaultButton});
}

unsigned MessageManager::ShowRaised(const MessageRequest& request, const std::string& text, uint8_t level) {
    if (LOGERRORS) {
        const Clock& clock = CurrentClock();
        ClockReading now = clock.Read();
        ERRORLOG.Append(FormatDate(now.Today, "@D17") + "@" + FormatTime(now.Now, "@T8") + " --> " + text);
    }
    if (HISTORYTHRESHOLD == 0) return ShowMessage(request);

    while (!HISTORY.empty() && static_cast<int64_t>(HISTORY.size()) >= HISTORYTHRESHOLD) HISTORY.erase(HISTORY.begin());
    HISTORY.push_back({Category(), text, ERRORS[*current_].ID});
    if (level != HISTORYVIEWLEVEL) {
        // Notices wait in the history; a question is still asked, since taking its
        // default on the user's behalf could delete or discard his data.
        const bool question = level == LevelAsk || level == LevelCancelled;
        return question ? ShowMessage(request) : request.DefaultButton;
    }
    if (SILENT) return request.DefaultButton;
    const unsigned button = historyDialog_ ? historyDialog_->Show(request, HISTORY) : ShowMessage(request);
    if (HISTORYRESETONVIEW) HISTORY.clear();
    return button;
}

uint8_t MessageManager::Raise(uint16_t id) {
    if (!Select(id)) return LevelNotice;
    const uint8_t level = ERRORS[*current_].FATALITY;
    if (level == LevelNone) return LevelNone;
    const std::string text = SubstitutedText();
    MessageRequest request{ERRORS[*current_].TITLE, text, IconInformation, ButtonOk, ButtonOk};
    switch (level) {
        case LevelAsk:
        case LevelCancelled:
            request.Icon = IconExclamation;
            request.Buttons = ButtonYes | ButtonNo;
            request.DefaultButton = ButtonYes;
            return ShowRaised(request, text, level) == ButtonYes ? LevelNone : LevelCancelled;
        case LevelNotice:
            ShowRaised(request, text, level);
            return LevelNotice;
        default:
            // Only a window has an OK to press; a build log just says what failed.
            if (dialog_) request.Text += FatalSuffix;
            ShowRaised(request, text, level);
            Halt();
            return LevelFatal;
    }
}

uint8_t MessageManager::RaiseForFile(uint16_t id, std::string_view fileName) {
    SetFileContext(fileName);
    return Raise(id);
}

uint8_t MessageManager::RaiseForField(uint16_t id, std::string_view fieldName) {
    SetFieldContext(fieldName);
    return Raise(id);
}

uint8_t MessageManager::RaiseWithText(uint16_t id, std::string_view text) {
    SetTextContext(text);
    return Raise(id);
}

uint8_t MessageManager::RaiseFileError(uint16_t id, std::string_view fileName) {
    CaptureError();
    SetFileContext(fileName);
    return Raise(id);
}

void MessageManager::SetHaltHandler(std::function<void()> halt) { halt_ = halt ? std::move(halt) : DefaultHalt; }

void MessageManager::Halt() { halt_(); }

MessageManager& GlobalMessages() {
    static MessageManager manager;
    return manager;
}

}  // namespace verdo
