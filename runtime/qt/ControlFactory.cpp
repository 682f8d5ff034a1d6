#include "runtime/qt/ControlFactory.h"

#include <map>

#include "runtime/qt/ControlKinds.h"

namespace verdo {

namespace {

std::map<ControlKind, ControlMaker>& Makers() {
    static std::map<ControlKind, ControlMaker> makers = {
        {ControlKind::Prompt, MakePrompt},       {ControlKind::Entry, MakeEntry},
        {ControlKind::Text, MakeText},           {ControlKind::Button, MakeButton},
        {ControlKind::Check, MakeCheck},         {ControlKind::Spin, MakeSpin},
        {ControlKind::Image, MakeImage},         {ControlKind::Region, MakeRegion},
        {ControlKind::Sheet, MakeSheet},         {ControlKind::Tab, MakeTab},
        {ControlKind::Group, MakeGroup},         {ControlKind::Menu, MakeMenu},
        {ControlKind::MenuItem, MakeMenuItem},   {ControlKind::Separator, MakeSeparator},
        {ControlKind::ToolButton, MakeToolButton}, {ControlKind::List, MakeList},
        {ControlKind::DropList, MakeDropList},
    };
    return makers;
}

}  // namespace

void ControlFactory::Register(ControlKind kind, ControlMaker maker) { Makers()[kind] = maker; }

std::unique_ptr<QtControl> ControlFactory::Create(const ControlDef& def, int number, ControlHost& host) {
    auto found = Makers().find(def.Kind);
    if (found == Makers().end() || !found->second) return std::make_unique<QtControl>(def, number, host);
    return found->second(def, number, host);
}

}  // namespace verdo
