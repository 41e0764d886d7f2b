#include "views/duplicates/DuplicateRow.h"

#include "models/DuplicatesModel.h"
#include "platform/FileRevealer.h"
#include "views/Formats.h"
#include "views/design/StyledLabel.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/Membership.h"
#include "views/duplicates/Pictures.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

namespace tidra::duplicates {

namespace {
constexpr int pictureSide = 36;
}

DuplicateRow::DuplicateRow(DuplicateFile file, DuplicatesModel& model, FileRevealer& revealer, QWidget* parent)
    : QWidget(parent), shown(std::move(file)), model(model), revealer(revealer) {
  setObjectName(QStringLiteral("duplicateRow"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(12, 2, 12, 2);
  row->setSpacing(10);

  check = new QCheckBox(this);
  check->setObjectName(QStringLiteral("rowCheck"));
  check->setAccessibleName(Formats::fileName(shown.name()));
  connect(check, &QCheckBox::toggled, this, [this](bool on) { setSelected(this->model, shown.path, on); });
  row->addWidget(check);

  picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("rowPicture"));
  picture->setFixedSize(pictureSide, pictureSide);
  row->addWidget(picture);

  auto* lines = new QVBoxLayout;
  lines->setSpacing(1);
  name = new StyledLabel({}, Theme::TextStyle::body);
  name->setObjectName(QStringLiteral("rowName"));
  folder = new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel);
  folder->setObjectName(QStringLiteral("rowFolder"));
  folder->setToolTip(Formats::fileName(shown.folder()));
  for (auto* line : {name, folder}) {
    line->setMinimumWidth(40);
    line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lines->addWidget(line);
  }
  row->addLayout(lines, 1);

  // Beside the date, where it reads as a quality of the copy; only a copy with other links has it.
  if (const auto note = DuplicatesTexts::linksNote(shown)) {
    auto* links = new StyledLabel(*note, Theme::TextStyle::callout, Theme::Role::tertiaryLabel);
    links->setObjectName(QStringLiteral("rowLinks"));
    row->addWidget(links);
  }

  auto* date = new StyledLabel(Formats::date(shown.modified), Theme::TextStyle::body,
                               Theme::Role::secondaryLabel);
  date->setObjectName(QStringLiteral("rowDate"));
  row->addWidget(date);
  refresh();
}

void DuplicateRow::refresh() {
  const QSignalBlocker quiet(check);
  check->setChecked(model.selection().contains(shown.path));
  const auto found = model.thumbnails().find(shown.path);
  // Redrawn only when the model holds a new picture: refreshes come on every tick.
  if (found == model.thumbnails().end() || found->second.cacheKey() == pictureKey) return;
  pictureKey = found->second.cacheKey();
  picture->setPixmap(fitted(found->second, picture->size(), 5, devicePixelRatioF()));
}

void DuplicateRow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // First painted means first on screen: only now is the picture worth making.
  if (!std::exchange(asked, true)) model.loadThumbnail(shown);
}

void DuplicateRow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  elide();
}

void DuplicateRow::elide() {
  const QString fullName = Formats::fileName(shown.name());
  name->setText(name->fontMetrics().elidedText(fullName, Qt::ElideMiddle, name->width()));
  const QString place = Formats::tildePath(shown.folder(), model.home());
  folder->setText(folder->fontMetrics().elidedText(place, Qt::ElideLeft, folder->width()));
}

QMenu* DuplicateRow::makeMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("Show in Folder"), this, [this] { revealer.reveal(shown.path); });
  return menu;
}

void DuplicateRow::contextMenuEvent(QContextMenuEvent* event) { makeMenu()->popup(event->globalPos()); }

}  // namespace tidra::duplicates
