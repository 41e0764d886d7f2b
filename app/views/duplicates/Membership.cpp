#include "views/duplicates/Membership.h"

#include "models/FileSetsModel.h"

namespace tidra::duplicates {

void setSelected(FileSetsModel& model, const std::string& path, bool on) {
  auto selection = model.selection();
  if (on) selection.insert(path);
  else selection.erase(path);
  model.setSelection(std::move(selection));
}

}  // namespace tidra::duplicates
