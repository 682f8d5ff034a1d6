#include "runtime/window/HistoryDialog.h"

namespace verdo {

std::string ButtonCaption(unsigned button) {
    switch (button) {
        case ButtonOk: return "O&k";
        case ButtonYes: return "&Yes";
        case ButtonNo: return "&No";
        case ButtonAbort: return "&Abort";
        case ButtonRetry: return "&Retry";
        case ButtonIgnore: return "&Ignore";
        case ButtonCancel: return "&Cancel";
        case ButtonHelp: return "&Help";
        default: return {};
    }
}

std::vector<std::pair<unsigned, std::string>> HistoryButtonOrder(unsigned buttons) {
    std::vector<std::pair<unsigned, std::string>> order;
    for (unsigned bit = ButtonHelp; bit >= ButtonOk; bit >>= 1)
        if (buttons & bit) order.emplace_back(bit, ButtonCaption(bit));
    return order;
}

}  // namespace verdo
