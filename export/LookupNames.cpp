#include "export/LookupNames.h"

#include <cstring>
#include <functional>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// The name of the first row, in the table's own order, for which `matches` holds.
std::string NameOf(FileManager& table, const std::function<bool()>& matches, const char* name, size_t width) {
    std::string found;
    ReadingOnly reading(table);
    table.Open();
    if (table.UseFile() == LevelNone) {
        uint16_t saved = table.SaveState();
        table.SetKey(-1);
        while (found.empty() && table.TryNext() == LevelNone)
            if (matches()) found = FieldText(name, width);
        table.RestoreState(saved);
    }
    table.Close();
    return found;
}

}  // namespace

void LookUpNames(VersionValues& v) {
    v.LanguageName = NameOf(*Access_LangID, [&] { return FieldText(LID.LangIDVal) == v.Language; }, LID.LangID,
                            sizeof LID.LangID);
    v.CodePageName = NameOf(*Access_CodePage, [&] { return FieldText(CPG.CodePageVal) == v.CodePage; }, CPG.CodePage,
                            sizeof CPG.CodePage);
    v.FileOSName = NameOf(*Access_FileOS, [&] {
        unsigned char os[4];
        std::memcpy(os, FOS.FileOSVal, sizeof os);
        return (os[0] | os[1] << 8 | os[2] << 16 | static_cast<uint32_t>(os[3]) << 24) == v.FileOS;
    }, FOS.FileOS, sizeof FOS.FileOS);
    v.FileTypeName = NameOf(*Access_FileType, [&] { return static_cast<uint8_t>(FTY.FileTypeVal[0]) == v.FileType; },
                            FTY.FileType, sizeof FTY.FileType);
}

}  // namespace verdo
