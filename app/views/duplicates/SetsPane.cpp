#include "views/duplicates/SetsPane.h"

#include "views/duplicates/PaneNotices.h"
#include "views/duplicates/SearchProgress.h"

#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::duplicates {

SetsPane::SetsPane(std::string home, std::function<void()> dismiss, QWidget* parent) : QWidget(parent) {
  pages = new QStackedLayout(this);
  progress = new SearchProgress;
  results = new QWidget;
  column = new QVBoxLayout(results);
  column->setContentsMargins(16, 16, 16, 0);
  column->setSpacing(10);
  notices = new PaneNotices(std::move(home), std::move(dismiss));
  column->addWidget(notices);
  resultPages = new QStackedLayout;
  column->addLayout(resultPages, 1);
  pages->addWidget(progress);
  pages->addWidget(results);
}

void SetsPane::addLine(QWidget* line) { column->insertWidget(column->count() - 1, line); }

void SetsPane::addResultPage(QWidget* page) { resultPages->addWidget(page); }

void SetsPane::showProgress(const QString& text) {
  progress->setText(text);
  pages->setCurrentWidget(progress);
}

void SetsPane::showResults(const std::vector<CleanReport::Failure>& failures, bool hasPhotosLibrary, QWidget* page) {
  pages->setCurrentWidget(results);
  notices->refresh(failures, hasPhotosLibrary);
  resultPages->setCurrentWidget(page);
}

}  // namespace tidra::duplicates
