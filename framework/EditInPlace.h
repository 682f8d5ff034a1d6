#pragma once
#include <cstdint>

namespace verdo {

class BrowseManager;

// Edits the rows of a browse in the list itself, for browses without an update form.
class EditInPlace {
public:
    virtual ~EditInPlace() = default;
    // Inserts a new row or changes the highlighted one (request 1 or 2) in place and
    // returns the response: completed when a record was written.
    virtual uint8_t Edit(BrowseManager& browse, uint8_t request) = 0;
};

}  // namespace verdo
