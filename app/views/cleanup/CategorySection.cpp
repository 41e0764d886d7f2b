#include "views/cleanup/CategorySection.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/RowKeys.h"
#include "views/SelectionTexts.h"
#include "views/cleanup/CleanupRow.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/design/Brand.h"
#include "views/design/Button.h"
#include "views/design/IconChip.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

namespace {

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

}  // namespace

CategorySection::CategorySection(AppModel& model, CleanupCategory category, QWidget* parent)
    : QWidget(parent), model(model), category(category) {
  setObjectName(QStringLiteral("category-") + text(tidra::title(category)));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 10, 0, 4);
  column->setSpacing(4);

  auto* header = new QHBoxLayout;
  header->setSpacing(9);
  header->addWidget(new IconChip(text(symbol(category)), Brand::teal(), 22, this));
  header->addWidget(new StyledLabel(text(tidra::title(category)), Theme::TextStyle::headline, Theme::Role::label, -1, this));
  header->addStretch(1);
  selectAll = new Button(Button::Look::link, {}, this);
  selectAll->setObjectName(QStringLiteral("selectAll"));
  selectAll->setFont(Theme::font(Theme::TextStyle::callout));
  header->addWidget(selectAll);
  total = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::label, -1, this);
  total->setObjectName(QStringLiteral("categoryTotal"));
  total->setMinimumWidth(80);
  total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  header->addWidget(total);
  column->addLayout(header);

  list = new KeyedRowList([this](const QString&) { return new CleanupRow(this->model); }, this);
  list->setDividers(true, 26);
  column->addWidget(list);

  connect(selectAll, &QPushButton::clicked, this, [this] {
    const auto ids = CleanupTexts::selectableIds(this->model.items(this->category));
    this->model.setSelection(SelectionTexts::toggledAll(ids, this->model.selection()));
  });
}

void CategorySection::refresh() {
  const auto items = model.items(category);
  const auto ids = CleanupTexts::selectableIds(items);
  selectAll->setVisible(!ids.empty());
  selectAll->setText(SelectionTexts::selectAllTitle(SelectionTexts::allSelected(ids, model.selection())));
  total->setText(Formats::bytes(CleanupTexts::totalBytes(items, model.sizes())));
  QStringList keys;
  // Ids carry names read from disk (installers, caches), which need not be UTF-8.
  for (const auto& item : items) keys << RowKeys::of(item.id);
  list->setKeys(keys);
  for (const auto& item : items) static_cast<CleanupRow*>(list->row(RowKeys::of(item.id)))->show(item);
}

}  // namespace tidra
