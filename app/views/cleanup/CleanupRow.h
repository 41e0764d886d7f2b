#pragma once

#include "cleanup/CleanupItem.h"

#include "views/design/CheckRow.h"

namespace tidra {

class AppModel;
class Badge;
class Button;

// One cleanup item: its checkbox (a lock for items only an administrator may remove), title
// with the "Your call" and "To Trash" badges, what cleaning it costs, and its size. Admin
// items offer "Clean with Password…" or, when the password route cannot take them, "Copy
// Command". Writes only the selection; everything else goes to the model or the clipboard.
class CleanupRow : public CheckRow {
public:
  CleanupRow(AppModel& model, QWidget* parent = nullptr);

  void show(const CleanupItem& item);

  Button* adminButton() const { return admin; }

private:
  void onToggled(bool on);
  void onAdmin();

  AppModel& model;
  CleanupItem item;
  Badge* yourCall;
  Badge* toTrash;
  StyledLabel* consequence;
  Button* admin;
  StyledLabel* size;
};

}  // namespace tidra
