#include "cleanup/Editors.h"

namespace tidra::CleanupCatalog {

const std::vector<Editor>& editors() {
    // On Linux these Electron editors keep their settings in ~/.config/<product name>
    // (Electron's app.getPath("userData"): $XDG_CONFIG_HOME/<name>), VS Code as "Code".
    static const std::vector<Editor> table{
        {"Cursor", "cursor", {"com.todesktop.230313mzl4w4u92"},
         {".cursor", "Library/Application Support/Cursor", ".config/Cursor"}},
        {"Trae", "trae", {"com.trae.app"}, {".trae", "Library/Application Support/Trae", ".config/Trae"}},
        {"Windsurf", "windsurf", {"com.exafunction.windsurf"},
         {".windsurf", "Library/Application Support/Windsurf", ".config/Windsurf"}},
        {"Visual Studio Code", "code", {"com.microsoft.VSCode"},
         {".vscode", "Library/Application Support/Code", ".config/Code"}},
    };
    return table;
}

} // namespace tidra::CleanupCatalog
