#pragma once

#include <QDialog>

class QVBoxLayout;

namespace tidra {

// A dialog that belongs to its parent's window: window-modal, opened with `open()` so the
// event loop keeps running underneath. Escape closes it as a cancel.
class Sheet : public QDialog {
public:
  explicit Sheet(QWidget* parent);

  QVBoxLayout* body() const { return content; }
  // The glowing window background behind the content, as the diagnosis sheet has.
  void setBackdrop(bool on);

protected:
  void resizeEvent(QResizeEvent* event) override;
  // Tab follows reading order, also through rows added after the sheet was built.
  bool focusNextPrevChild(bool next) override;

private:
  QVBoxLayout* content;
  QWidget* backdrop = nullptr;
};

}  // namespace tidra
