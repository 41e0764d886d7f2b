#pragma once

#include <QScrollArea>

namespace tidra::performance {

// The rows of a tab in a frameless, see-through scroll area, so the card shows behind them.
QScrollArea* wrapInScroll(QWidget* rows);

}  // namespace tidra::performance
