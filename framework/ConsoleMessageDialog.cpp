#include "framework/ConsoleMessageDialog.h"

#include <iostream>
#include <string>

namespace verdo {

ConsoleMessageDialog::ConsoleMessageDialog() : out_(std::cerr) {}

ConsoleMessageDialog::ConsoleMessageDialog(std::ostream& out) : out_(out) {}

unsigned ConsoleMessageDialog::Show(const MessageRequest& request) {
    // One line per message, so that a build log shows it beside the step that said it.
    std::string text = request.Text;
    for (char& c : text)
        if (c == '|' || c == '\n' || c == '\r') c = ' ';
    out_ << "VERDO: " << request.Title << ": " << text << std::endl;
    return request.DefaultButton;
}

}  // namespace verdo
