#include "views/duplicates/PhotoCell.h"

#include "models/SimilarPhotosModel.h"
#include "platform/FileRevealer.h"
#include "views/Formats.h"
#include "views/design/StyledLabel.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/Membership.h"
#include "views/duplicates/PhotoTile.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

namespace tidra::duplicates {

namespace {

// The tick sits on a dark plate so it reads on any picture.
QWidget* tickPlate(QCheckBox* check) {
  auto* plate = new QWidget;
  plate->setObjectName(QStringLiteral("tickPlate"));
  plate->setAttribute(Qt::WA_StyledBackground);
  plate->setStyleSheet(QStringLiteral("#tickPlate { background: rgba(0, 0, 0, 71); border-radius: 5px; }"));
  auto* layout = new QHBoxLayout(plate);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(check);
  return plate;
}

QLabel* bestMark(const QWidget* colours) {
  auto* mark = new QLabel(QStringLiteral("Best"));
  mark->setObjectName(QStringLiteral("bestMark"));
  mark->setToolTip(DuplicatesTexts::bestMarkHelp());
  mark->setFont(Theme::font(Theme::TextStyle::caption, QFont::DemiBold));
  QColor green = Theme::color(Theme::Role::green, colours);
  green.setAlphaF(0.85);
  mark->setStyleSheet(QStringLiteral("#bestMark { color: white; background: %1; border-radius: 8px; padding: 2px 7px; }")
                          .arg(green.name(QColor::HexArgb)));
  return mark;
}

}  // namespace

PhotoCell::PhotoCell(SimilarPhoto photo, bool isBest, SimilarPhotosModel& model, FileRevealer& revealer, Open open,
                     QWidget* parent)
    : QWidget(parent), shown(std::move(photo)), best(isBest), model(model), revealer(revealer), open(std::move(open)) {
  setObjectName(QStringLiteral("photoCell"));
  setToolTip(Formats::tildePath(shown.folder(), model.home()));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(5);

  tile = new PhotoTile;
  tile->setFixedHeight(tileHeight);
  auto* overlay = new QHBoxLayout(tile);
  overlay->setContentsMargins(6, 6, 8, 6);
  check = new QCheckBox;
  check->setObjectName(QStringLiteral("photoCheck"));
  check->setAccessibleName(Formats::fileName(shown.name()));
  connect(check, &QCheckBox::toggled, this, [this](bool on) { setSelected(this->model, shown.path, on); });
  overlay->addWidget(tickPlate(check), 0, Qt::AlignTop);
  overlay->addStretch(1);
  if (best) overlay->addWidget(bestMark(this), 0, Qt::AlignTop);
  column->addWidget(tile);

  name = new StyledLabel({}, Theme::TextStyle::callout);
  name->setObjectName(QStringLiteral("photoName"));
  name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  column->addWidget(name);
  caption = new StyledLabel(DuplicatesTexts::photoCaption(shown), Theme::TextStyle::caption, Theme::Role::secondaryLabel);
  caption->setObjectName(QStringLiteral("photoCaption"));
  column->addWidget(caption);
  refresh();
}

bool PhotoCell::isSelected() const { return model.selection().contains(shown.path); }

void PhotoCell::refresh() {
  const bool selected = isSelected();
  const QSignalBlocker quiet(check);
  check->setChecked(selected);
  tile->setSelected(selected);
  const auto found = model.thumbnails().find(shown.path);
  if (found != model.thumbnails().end()) tile->setPicture(found->second);
}

QMenu* PhotoCell::makeMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(DuplicatesTexts::previewAction(), this, [this] { preview(); });
  menu->addAction(QStringLiteral("Show in Folder"), this, [this] { revealer.reveal(shown.path); });
  return menu;
}

void PhotoCell::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // First painted means first on screen: only now is the picture worth making.
  if (!std::exchange(asked, true)) model.loadThumbnail(shown);
}

void PhotoCell::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  name->setText(name->fontMetrics().elidedText(Formats::fileName(shown.name()), Qt::ElideMiddle, name->width()));
}

void PhotoCell::mouseDoubleClickEvent(QMouseEvent*) { preview(); }

void PhotoCell::contextMenuEvent(QContextMenuEvent* event) { makeMenu()->popup(event->globalPos()); }

void PhotoCell::preview() { open(shown.path); }

}  // namespace tidra::duplicates
