#include "export/ExtraItems.h"

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "runtime/RuntimeError.h"

namespace verdo {

std::vector<ExtraItem> ReadExtraItems(int32_t projectNumber, bool tellUser, bool& failure, std::string& unread) {
    std::vector<ExtraItem> items;
    FileManager& seg = *Access_ExtraSeg;
    ReadingOnly reading(seg);
    seg.Open();
    if (seg.UseFile() != LevelNone) {
        // Opening the table has said why already.
        failure = true;
        seg.Close();
        return items;
    }
    uint16_t saved = seg.SaveState();
    ClearRecord(ExtraSegTable(), &SEG);
    SEG.RESNumber = projectNumber;
    seg.SetKeyPosition(seg.KeyNumber("SEG:RESNumberK"));
    for (;;) {
        if ((tellUser ? seg.Next() : seg.TryNext()) != LevelNone) {
            if (!seg.Info().ATEOF) {
                failure = true;
                unread = "its extra strings could not be read: " + StoreFailureText(LastError());
            }
            break;
        }
        if (SEG.RESNumber != projectNumber) break;
        items.push_back({std::string(SEG.SegName, sizeof SEG.SegName), std::string(SEG.SegData, sizeof SEG.SegData)});
    }
    seg.RestoreState(saved);
    seg.Close();
    return items;
}

}  // namespace verdo
