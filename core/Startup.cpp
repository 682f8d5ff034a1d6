#include "core/Startup.h"

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "framework/MessageManager.h"
#include "framework/SettingsFile.h"
#include "runtime/text/Text.h"

namespace verdo {

int RunProgram(const std::string& modulePath, const std::string& commandTail,
               const std::function<void(int32_t)>& buildTime, const std::function<void()>& interactive) {
    ComposeNames(modulePath, commandTail);
    MessageManager& messages = GlobalMessages();
    messages.Initialise();
    DictionaryStartup(messages);
    SettingsFile& settings = GlobalSettings();
    settings.Open(SettingsFileName);

    if (!TrimRight(CommandTail).empty()) {
        if (buildTime) buildTime(ReadProjectNumber(CommandTail));
    } else if (interactive) {
        interactive();
    }

    settings.Close();
    DictionaryShutdown();
    messages.Shutdown();
    return 0;
}

}  // namespace verdo
