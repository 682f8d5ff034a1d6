#pragma once
#include <iosfwd>

#include "runtime/window/MessageDialog.h"

namespace verdo {

// Presents messages where there is no display (the build-time run): the title and the
// text go to a stream, standard error unless told otherwise, and the default button is
// the answer at once, since nobody is there to give another.
class ConsoleMessageDialog : public MessageDialog {
public:
    ConsoleMessageDialog();
    explicit ConsoleMessageDialog(std::ostream& out);

    unsigned Show(const MessageRequest& request) override;

private:
    std::ostream& out_;
};

}  // namespace verdo
