#pragma once

#include "views/design/Sheet.h"

#include <QString>

class QVBoxLayout;

namespace tidra {

class Button;

// A question before an action that cannot be taken back: a bold title, an explanation, room
// for what the action touches, then "Cancel" (also Escape) and the action's button, red when
// destructive. Emits `accepted()` or `rejected()`; open it with `open()`.
class ConfirmationDialog : public Sheet {
public:
  ConfirmationDialog(const QString& title, const QString& message, const QString& actionTitle, bool destructive,
                     QWidget* parent);

  // Between the message and the buttons: lists of items, totals.
  QVBoxLayout* details() const { return extra; }
  Button* actionButton() const { return action; }
  Button* cancelButton() const { return cancel; }

private:
  QVBoxLayout* extra;
  Button* action;
  Button* cancel;
};

}  // namespace tidra
