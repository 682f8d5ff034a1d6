#pragma once
#include <QPointer>
#include <QWidget>

#include "runtime/window/HistoryDialog.h"

namespace verdo {

// The "Errors History" window: the message's title, icon and text above the list of
// collected messages (category and text), and the buttons of the set on the button
// controls "?BUTTON1" to "?BUTTON8" from the highest bit down. Application-modal; it
// returns the bit of the button pressed, and the close answer (Cancel, else No, else
// OK) for the close box and Escape.
//
// Other names for tests: "?TITLE", "?ICON", "?TEXT" and the list "?HISTORY".
class QtHistoryWindow : public HistoryDialog {
public:
    explicit QtHistoryWindow(QWidget* owner = nullptr);

    unsigned Show(const MessageRequest& request, const std::vector<HistoryEntry>& history) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace verdo
