#pragma once

#include <QScrollArea>

class QLayout;

namespace tidra::performance {

// The rows of a tab in a frameless, see-through scroll area, so the card shows behind them.
QScrollArea* wrapInScroll(QWidget* rows);

// Deletes every row of `rows`, before a list is laid out anew.
void clearRows(QLayout* rows);

}  // namespace tidra::performance
