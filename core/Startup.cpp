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
    // A folder that cannot hold the store ends the run before anything is opened; the
    // editor also needs its settings folder, where it keeps its windows' places.
    bool building = !TrimRight(CommandTail).empty();
    std::string problem = StoreFolderProblem.empty() && !building ? SettingsFolderProblem : StoreFolderProblem;
    if (!problem.empty()) {
        messages.ShowMessage({"File Access Error", "VERDO cannot keep its files in " + problem + ".", IconExclamation,
                              ButtonOk, ButtonOk});
        messages.Shutdown();
        return 0;
    }
    DictionaryStartup(messages);
    SettingsFile& settings = GlobalSettings();
    settings.Open(SettingsFileName);

    if (building) {
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
