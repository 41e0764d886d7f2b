#include "views/RowKeys.h"
#include "views/duplicates/SimilarPane.h"

#include "models/DuplicatesModel.h"
#include "models/SimilarPhotosModel.h"
#include "views/design/Button.h"
#include "views/design/EmptyState.h"
#include "views/design/FlowLayout.h"
#include "views/design/StyledLabel.h"
#include "views/duplicates/DuplicateSetSection.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/LazyColumn.h"
#include "views/duplicates/SimilarSetCard.h"

#include <QVBoxLayout>

namespace tidra::duplicates {

SimilarPane::SimilarPane(SimilarPhotosModel& photos, DuplicatesModel& duplicates, FileRevealer& revealer,
                         PhotoCell::Open open, QWidget* parent)
    : SetsPane(photos.home(), [&photos] { photos.setFailures({}); }, parent),
      photos(photos),
      duplicates(duplicates),
      revealer(revealer),
      open(std::move(open)) {
  setObjectName(QStringLiteral("similarPane"));
  addLine(makeExplanation());
  empty = makeNoPhotosState();
  column = new LazyColumn(
      [this](const QString& id) -> QWidget* {
        auto* made = new SimilarSetCard(this->photos, this->revealer, this->open);
        for (const auto& group : this->photos.groups())
          if (RowKeys::of(group.id()) == id) made->display(group);
        return made;
      },
      14);
  column->setObjectName(QStringLiteral("similarList"));
  // Room on the right, so the cards' corners and shadows end clear of the scroll bar.
  column->widget()->setContentsMargins(0, 0, cardGutter, 8);
  addResultPage(empty);
  addResultPage(column);
}

QWidget* SimilarPane::makeExplanation() {
  auto* line = new QWidget;
  // The link moves under the sentence when the pane is too narrow for both.
  auto* row = new FlowLayout(4, 2, line);
  row->addWidget(new StyledLabel(QStringLiteral("Compares photos taken with a camera or phone. Exact copies of any "
                                                "picture, screenshots too, are in"),
                                 Theme::TextStyle::callout, Theme::Role::secondaryLabel));
  auto* link = new Button(Button::Look::link, QStringLiteral("Identical Files"), line);
  link->setObjectName(QStringLiteral("identicalLink"));
  link->setFont(Theme::font(Theme::TextStyle::callout));
  connect(link, &QPushButton::clicked, this, [this] { duplicates.setMode(DuplicatesModel::Mode::identical); });
  row->addWidget(link);
  return line;
}

EmptyState* SimilarPane::makeNoPhotosState() {
  auto* state = new EmptyState(QStringLiteral("photo.on.rectangle.angled"), QStringLiteral("No similar photos"),
                               QStringLiteral("No two photos from a camera or phone in your folders show the same scene."));
  state->setObjectName(QStringLiteral("noSimilarPhotos"));
  auto* back = new Button(Button::Look::secondary, QStringLiteral("Show Identical Files"), state);
  back->setObjectName(QStringLiteral("showIdentical"));
  connect(back, &QPushButton::clicked, this, [this] { duplicates.setMode(DuplicatesModel::Mode::identical); });
  state->actions()->addWidget(back);
  return state;
}

void SimilarPane::refresh() {
  if (photos.phase() != FileSetsModel::Phase::ready) {
    showProgress(DuplicatesTexts::similarProgress(photos.stage()));
    return;
  }
  showResults(photos.failures(), duplicates.hasPhotosLibrary(),
              photos.groups().empty() ? static_cast<QWidget*>(empty) : column);
  QStringList keys;
  for (const auto& group : photos.groups()) keys << RowKeys::of(group.id());
  column->setKeys(keys);
  for (const auto& group : photos.groups())
    if (auto* made = card(group.id())) made->display(group);
}

SimilarSetCard* SimilarPane::card(const std::string& id) const {
  return dynamic_cast<SimilarSetCard*>(column->row(RowKeys::of(id)));
}

}  // namespace tidra::duplicates
