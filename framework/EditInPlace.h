#pragma once
#include <cstdint>

#include "runtime/window/Window.h"

namespace verdo {

class BrowseManager;

// Edits the rows of a browse in the list itself, for browses without an update form.
// An edit goes on over several events: the browse hands it every event of its list
// while it lasts.
class EditInPlace {
public:
    virtual ~EditInPlace() = default;
    // Starts editing a new row or the highlighted one (request 1 or 2). The response
    // stays undecided (0) while the edit goes on; cancelled when none could start.
    virtual uint8_t Edit(BrowseManager& browse, uint8_t request) = 0;
    virtual bool Editing() const = 0;
    // An event while a row is edited; non-zero when it was the edit's.
    virtual uint8_t TakeEvent(const WindowEvent& event) = 0;
    // The window is going away: the entries go, nothing is written.
    virtual void Abandon() = 0;
};

}  // namespace verdo
