#include "framework/ConsoleMessageDialog.h"

#include <iostream>
#include <string>

namespace verdo {

ConsoleMessageDialog::ConsoleMessageDialog() : out_(std::cerr) {}

ConsoleMessageDialog::ConsoleMessageDialog(std::ostream& out) : out_(out) {}

unsigned ConsoleMessageDialog::Show(const MessageRequest& request) {
    std::string text = request.Text;
    for (char& c : text)
        if (c == '|') c = '\n';
    out_ << request.Title << '\n' << text << std::endl;
    return request.DefaultButton;
}

}  // namespace verdo
