#include "views/PlaceholderScreen.h"

#include "views/design/EmptyState.h"

#include <QVBoxLayout>

namespace tidra {

PlaceholderScreen::PlaceholderScreen(const QString& title, const QString& symbol, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("placeholder"));
  auto* column = new QVBoxLayout(this);
  column->addWidget(new EmptyState(symbol, title, QString(), this));
}

}  // namespace tidra
