#pragma once

#include <QString>
#include <QWidget>

class QHBoxLayout;

namespace tidra {

// What a screen shows when it has nothing to list: a large faint symbol, a title and a
// description, centred, with optional buttons under them.
class EmptyState : public QWidget {
public:
  EmptyState(const QString& symbol, const QString& title, const QString& description, QWidget* parent = nullptr);

  QHBoxLayout* actions() const { return actionRow; }

private:
  QHBoxLayout* actionRow;
};

}  // namespace tidra
