#pragma once
#include <QPointer>
#include <QWidget>

#include "runtime/window/MessageDialog.h"

namespace verdo {

// The interactive program's message window: title, the platform's warning or
// information icon, the text, and one button per bit of the set, in bit order. It is
// application-modal and returns the bit of the button pressed; the close box and
// Escape give the close answer (Cancel, else No, else OK).
//
// Buttons are named after their caption without "&" ("Ok", "Yes", "No", ...), the icon
// "?ICON" and the text "?TEXT", so tests can find them.
class QtMessageDialog : public MessageDialog {
public:
    // Without an owner, each message is placed over the window that is active when it comes.
    explicit QtMessageDialog(QWidget* owner = nullptr);

    unsigned Show(const MessageRequest& request) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace verdo
