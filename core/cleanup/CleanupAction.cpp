#include "cleanup/CleanupAction.h"

namespace tidra {

std::vector<std::string> CleanupAction::paths() const {
    struct Visitor {
        std::vector<std::string> operator()(const Delete& a) const { return a.paths; }
        std::vector<std::string> operator()(const DeleteContents& a) const { return a.paths; }
        std::vector<std::string> operator()(const Trash& a) const { return a.paths; }
        std::vector<std::string> operator()(const Run& a) const { return a.affects; }
        std::vector<std::string> operator()(const RemoveWorktree& a) const { return {a.path}; }
    };
    return std::visit(Visitor{}, value);
}

bool CleanupAction::isPermanent() const { return !std::holds_alternative<Trash>(value); }

} // namespace tidra
