#include "cleanup/Editors.h"

namespace tidra::CleanupCatalog {

const std::vector<Editor>& editors() {
    static const std::vector<Editor> table{
        {"Cursor", "cursor", {"com.todesktop.230313mzl4w4u92"}, {".cursor", "Library/Application Support/Cursor"}},
        {"Trae", "trae", {"com.trae.app"}, {".trae", "Library/Application Support/Trae"}},
        {"Windsurf", "windsurf", {"com.exafunction.windsurf"}, {".windsurf", "Library/Application Support/Windsurf"}},
        {"Visual Studio Code", "code", {"com.microsoft.VSCode"}, {".vscode", "Library/Application Support/Code"}},
    };
    return table;
}

} // namespace tidra::CleanupCatalog
