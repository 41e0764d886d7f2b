#pragma once

#include "files/DuplicateGroup.h"
#include "files/SimilarPhotoGroup.h"
#include "models/FileSetsModel.h"

#include <QPointer>

#include <type_traits>
#include <utility>

namespace tidra {

// The files of a set, the one to keep first.
inline const std::vector<DuplicateFile>& membersOf(const DuplicateGroup& group) { return group.files; }
inline std::vector<DuplicateFile>& membersOf(DuplicateGroup& group) { return group.files; }
inline const std::vector<SimilarPhoto>& membersOf(const SimilarPhotoGroup& group) { return group.photos; }
inline std::vector<SimilarPhoto>& membersOf(SimilarPhotoGroup& group) { return group.photos; }

// A file kept from its set is still the one the search saw.
inline bool standsAsFound(const FileServices& services, const DuplicateFile& file, const DuplicateGroup& group) {
  return services.keptFileStands(file.path, group.size, group.hash);
}
inline bool standsAsFound(const FileServices& services, const SimilarPhoto& photo, const SimilarPhotoGroup&) {
  return services.keptPhotoStands(photo);
}

// The set-typed half of the two lists: the sets of the last search, the search's progress and
// the figures and edits over the sets. `isShown` decides which sets the user acts on; every
// set stays in `groups()` regardless.
template <class Group, class Stage>
class SetsModel : public FileSetsModel {
public:
  using Member = std::decay_t<decltype(membersOf(std::declval<const Group&>()).front())>;

  const std::vector<Group>& groups() const { return groups_; }
  const Stage& stage() const { return stage_; }

  void forget(const std::set<std::string>& paths) override {
    std::vector<Group> kept;
    for (auto group : groups_) {
      std::erase_if(membersOf(group), [&](const Member& member) { return paths.contains(member.path); });
      if (membersOf(group).size() >= 2) kept.push_back(std::move(group));
    }
    setGroups(std::move(kept));
    auto selection = this->selection();
    for (const auto& path : paths) selection.erase(path);
    setSelection(std::move(selection));
  }

protected:
  using FileSetsModel::FileSetsModel;

  virtual bool isShown(const Group&) const { return true; }

  // The selected files of the shown sets, in set order, then file order.
  std::vector<Member> selectedMembers() const {
    std::vector<Member> selected;
    for (const auto& group : groups_) {
      if (!isShown(group)) continue;
      for (const auto& member : membersOf(group))
        if (selection().contains(member.path)) selected.push_back(member);
    }
    return selected;
  }

  // Shown sets none of whose files would stay.
  int setsLosingEvery() const {
    int count = 0;
    for (const auto& group : groups_) {
      if (!isShown(group) || selection().empty()) continue;
      const auto& members = membersOf(group);
      if (std::all_of(members.begin(), members.end(), [&](const Member& m) { return selection().contains(m.path); }))
        ++count;
    }
    return count;
  }

  void selectAllButFirst() {
    std::set<std::string> selection;
    for (const auto& group : groups_) {
      if (!isShown(group)) continue;
      const auto& members = membersOf(group);
      for (std::size_t i = 1; i < members.size(); ++i) selection.insert(members[i].path);
    }
    setSelection(std::move(selection));
  }

  // Where `member` stands: the first set holding an equal file and its place there.
  std::pair<int, int> placeOf(const Member& member) const {
    for (std::size_t g = 0; g < groups_.size(); ++g) {
      const auto& members = membersOf(groups_[g]);
      const auto found = std::find(members.begin(), members.end(), member);
      if (found != members.end()) return {static_cast<int>(g), static_cast<int>(found - members.begin())};
    }
    return {0, 0};
  }

  void setGroups(std::vector<Group> groups) {
    if (groups == groups_) return;
    groups_ = std::move(groups);
    emit groupsChanged();
  }

  void setStage(Stage stage) {
    if (stage == stage_) return;
    stage_ = std::move(stage);
    emit stageChanged();
  }

  void resetStage() override { setStage(Stage{}); }

  // A progress callback for the finder: callable from any thread, it posts each stage to the
  // GUI thread, where stages of a search that has ended are dropped.
  std::function<void(const Stage&)> progressRelay() {
    QPointer<FileSetsModel> model(this);
    const int number = searchNumber();
    return [model, number](const Stage& stage) {
      postToGui([model, number, stage] {
        auto* self = static_cast<SetsModel*>(model.data());
        if (self && self->isCurrentSearch(number)) self->setStage(stage);
      });
    };
  }

  void publish(std::vector<Group> groups) {
    setGroups(std::move(groups));
    setPhase(Phase::ready);
  }

  // Per shown set with a selection; the check holds copies, as it runs on a worker.
  std::vector<SetMove> setMoves() const override {
    std::vector<SetMove> moves;
    for (const auto& group : groups_) {
      if (!isShown(group)) continue;
      SetMove move;
      std::vector<Member> kept;
      for (const auto& member : membersOf(group)) {
        if (selection().contains(member.path)) move.paths.push_back(member.path);
        else kept.push_back(member);
      }
      if (move.paths.empty()) continue;
      // Keeping none was the user's confirmed choice.
      move.keeperStands = [services = services, kept = std::move(kept), group] {
        return kept.empty() || std::any_of(kept.begin(), kept.end(), [&](const Member& member) {
                 return standsAsFound(services, member, group);
               });
      };
      moves.push_back(std::move(move));
    }
    return moves;
  }

  // Looks in every set, shown or not, so a file moved from any set counts; each file is
  // weighed in its own sets only, so a long move stays cheap per file.
  Gain gain() const override {
    const auto groups = std::make_shared<const std::vector<Group>>(groups_);
    std::map<std::string, std::vector<std::size_t>> setsOf;
    for (std::size_t index = 0; index < groups->size(); ++index)
      for (const auto& member : membersOf((*groups)[index])) setsOf[member.path].push_back(index);
    return [groups, setsOf](const std::string& path, const std::set<std::string>& movedBefore) {
      const auto found = setsOf.find(path);
      if (found == setsOf.end()) return std::int64_t{0};
      std::int64_t gained = 0;
      for (const auto index : found->second) {
        const auto& group = (*groups)[index];
        std::set<std::string> leaving;
        for (const auto& member : membersOf(group))
          if (movedBefore.contains(member.path)) leaving.insert(member.path);
        const auto before = group.freed(leaving);
        leaving.insert(path);
        gained += group.freed(leaving) - before;
      }
      return gained;
    };
  }

private:
  std::vector<Group> groups_;
  Stage stage_{};
};

}  // namespace tidra
