#pragma once

#include <QWidget>

namespace tidra {

// Stands in for a screen that is not built yet: its symbol and title, centred, so every
// section of the window can be reached and told apart.
class PlaceholderScreen : public QWidget {
public:
  PlaceholderScreen(const QString& title, const QString& symbol, QWidget* parent = nullptr);
};

}  // namespace tidra
