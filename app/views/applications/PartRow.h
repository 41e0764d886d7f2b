#pragma once

#include "models/ApplicationsModel.h"

#include <QWidget>

class QCheckBox;

namespace tidra::applications {

// One piece of an app in the uninstall sheet: a checkbox that keeps the piece when unticked,
// and its size. The bundle itself is always ticked and cannot be kept.
class PartRow : public QWidget {
  Q_OBJECT

public:
  PartRow(ApplicationsModel& model, AppPart part, bool isApp, QWidget* parent = nullptr);

  // Ticks follow the model's kept parts.
  void refresh();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void setTicked(bool ticked);
  void elide();

  ApplicationsModel& model;
  AppPart part;
  bool isApp;
  QString fullText;
  QCheckBox* box;
};

}  // namespace tidra::applications
