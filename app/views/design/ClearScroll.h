#pragma once

class QScrollArea;
class QWidget;

namespace tidra {

// Makes `scroll` a frameless scroll area through which what lies behind it shows (a card, the
// window's backdrop), and gives it `content`, which follows the area's width. The area itself
// is no Tab stop.
void showThrough(QScrollArea* scroll, QWidget* content);

}  // namespace tidra
