#pragma once

#include "cleanup/CleanReport.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QStackedLayout;
class QVBoxLayout;

namespace tidra::duplicates {

class PaneNotices;
class SearchProgress;

// What the two lists share: the progress page while searching, and once ready a column of
// the notices above one of the pane's result pages (its empty state or its list).
class SetsPane : public QWidget {
protected:
  // `dismiss` empties the pane's failures.
  SetsPane(std::string home, std::function<void()> dismiss, QWidget* parent);

  // Between the notices and the result pages.
  void addLine(QWidget* line);
  void addResultPage(QWidget* page);
  void showProgress(const QString& text);
  void showResults(const std::vector<CleanReport::Failure>& failures, bool hasPhotosLibrary, QWidget* page);

private:
  QStackedLayout* pages;
  SearchProgress* progress;
  QWidget* results;
  QVBoxLayout* column;
  PaneNotices* notices;
  QStackedLayout* resultPages;
};

}  // namespace tidra::duplicates
