#pragma once
#include <iosfwd>

#include "runtime/window/MessageDialog.h"

namespace verdo {

// Presents messages where there is no display (the build-time run): each goes to a stream,
// standard error unless told otherwise, as one line with the program's name and the title,
// and the default button is the answer at once, since nobody is there to give another.
class ConsoleMessageDialog : public MessageDialog {
public:
    ConsoleMessageDialog();
    explicit ConsoleMessageDialog(std::ostream& out);

    unsigned Show(const MessageRequest& request) override;

private:
    std::ostream& out_;
};

}  // namespace verdo
