#include "runtime/store/FieldDictionary.h"

#include <strings.h>

namespace verdo {

int TableDef::FieldIndex(const std::string& label) const {
    for (size_t i = 0; i < Fields.size(); ++i)
        if (strcasecmp(Fields[i].Label.c_str(), label.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

int TableDef::KeyIndex(const std::string& label) const {
    for (size_t i = 0; i < Keys.size(); ++i)
        if (strcasecmp(Keys[i].Label.c_str(), label.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

}  // namespace verdo
