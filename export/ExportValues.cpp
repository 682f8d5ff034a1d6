#include "export/ExportValues.h"

#include <cstdint>

#include "runtime/text/Text.h"

namespace verdo {

std::string ExportLanguage(const RESFileRecord& project) {
    std::string language = FieldText(project.LangID);
    return language == "XXXX" ? "0409" : language;
}

bool IncrementsConfigured(const RESFileRecord& project) {
    // Summed in 64 bits: the eight steps together cannot wrap back to 0 there.
    uint64_t sum = uint64_t{project.INC_FV_1} + project.INC_FV_2 + project.INC_FV_3 + project.INC_FV_4 +
                   project.INC_PV_1 + project.INC_PV_2 + project.INC_PV_3 + project.INC_PV_4;
    return sum > 0;
}

}  // namespace verdo
