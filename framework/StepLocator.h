#pragma once
#include <cstddef>
#include <string>

namespace verdo {

class BrowseManager;

// Finds records by the first character of a key field: a character typed into the list
// moves it to the first record whose field starts at or after that character, unless
// the highlighted row's field already starts with it.
class StepLocator {
public:
    // The locator's entry control (0: none, the list itself takes the keys), the field
    // it sets (an index into the table's fields) and whether letter case counts.
    void Setup(int control, size_t freeElement, bool noCase);

    // The text the browse positions at for the typed character, or empty when the
    // highlighted row's field already begins with it (`current` is that field's text).
    std::string Seek(unsigned char typed, const std::string& current) const;

    BrowseManager* VIEWMANAGER = nullptr;
    int CONTROL = 0;
    size_t FREEELEMENT = 0;
    bool NOCASE = true;
};

}  // namespace verdo
