#pragma once

#include "views/design/Theme.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

class QHBoxLayout;

namespace tidra {

// A notice strip tinted with its colour: a symbol, a title, an optional detail line and the
// caller's buttons or links at the trailing edge. What the buttons do belongs to the caller.
class Banner : public QWidget {
public:
  Banner(const QString& symbol, Theme::Tint tint, const QString& title, std::optional<QString> detail,
         QWidget* parent = nullptr);

  // Trailing controls go here, in order.
  QHBoxLayout* actions() const { return actionRow; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Theme::Tint tint;
  QHBoxLayout* actionRow;
};

}  // namespace tidra
