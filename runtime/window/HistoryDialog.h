#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/window/MessageDialog.h"

namespace verdo {

inline constexpr const char* HistoryWindowTitle = "Errors History";

// One message collected in the message history.
struct HistoryEntry {
    std::string CATEGORY;
    std::string TXT;
    uint16_t ID = 0;
};

// The history window: shows the message of the request (its title, icon and text)
// above the collected messages, with one button per bit of the request's button set,
// and returns the bit of the button pressed.
class HistoryDialog {
public:
    virtual ~HistoryDialog() = default;
    virtual unsigned Show(const MessageRequest& request, const std::vector<HistoryEntry>& history) = 0;
};

// The caption of one button bit ("O&k", "&Yes", ... "&Help"); empty for any other value.
std::string ButtonCaption(unsigned button);

// The buttons of a set in the order the history window places them on its button
// controls: from the highest bit (Help) down to OK, the n-th found taking the n-th control.
std::vector<std::pair<unsigned, std::string>> HistoryButtonOrder(unsigned buttons);

}  // namespace verdo
