#pragma once
#include <cstdint>
#include <string>

namespace verdo {

// Message button bits; a message shows one button per bit set.
enum MessageButton : unsigned {
    ButtonOk = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonAbort = 8,
    ButtonRetry = 16,
    ButtonIgnore = 32,
    ButtonCancel = 64,
    ButtonHelp = 128,
};

// The platform's standard icons: the warning (exclamation) that the framework's
// questions carry, the notices' information, and the question mark a window may ask for.
enum MessageIcon : int {
    IconNone = 0,
    IconQuestion = 32514,
    IconExclamation = 32515,
    IconInformation = 32516,
};

// One message to show, its texts in UTF-8: "|" in the text starts a new line.
struct MessageRequest {
    std::string Title;
    std::string Text;
    int Icon = IconNone;
    unsigned Buttons = ButtonOk;
    unsigned DefaultButton = ButtonOk;
};

// Shows a message modally and returns the bit of the button pressed. Closing the
// dialog without a button counts as the last button of the set (Cancel, No, or OK).
class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    virtual unsigned Show(const MessageRequest& request) = 0;
};

}  // namespace verdo
