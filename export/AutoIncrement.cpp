#include "export/AutoIncrement.h"

#include <cstdint>

namespace verdo {

namespace {
void Raise(uint16_t& part, uint64_t step) { part = static_cast<uint16_t>((part + step) % 65536); }
}  // namespace

void ApplyAutoIncrement(RESFileRecord& project) {
    Raise(project.FV_1, project.INC_FV_1);
    Raise(project.FV_2, project.INC_FV_2);
    Raise(project.FV_3, project.INC_FV_3);
    Raise(project.FV_4, project.INC_FV_4);
    Raise(project.PV_1, project.INC_PV_1);
    Raise(project.PV_2, project.INC_PV_2);
    Raise(project.PV_3, project.INC_PV_3);
    Raise(project.PV_4, project.INC_PV_4);
}

}  // namespace verdo
