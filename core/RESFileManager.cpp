#include "core/RESFileManager.h"

#include <cstring>

#include "core/Records.h"
#include "runtime/datetime/DateTime.h"

namespace verdo {

void RESFileManager::PrimeFields() {
    auto* project = static_cast<RESFileRecord*>(BUFFER);
    std::memcpy(project->FileOS, "\x04\x00\x04\x00", 4);  // VOS_NT_WINDOWS32
    project->FileType[0] = '\x01';                        // VFT_APP
    std::memcpy(project->LangID, "0409", 4);
    std::memcpy(project->CodePage, "04b0", 4);
    project->EnterDate = CurrentClock().Today();
}

}  // namespace verdo
