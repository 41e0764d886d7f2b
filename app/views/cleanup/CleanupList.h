#pragma once

#include <QScrollArea>
#include <QUrl>

#include <functional>
#include <optional>

class QVBoxLayout;

namespace tidra {

class AppModel;
class Banner;
class Button;
class KeyedRowList;
class SummaryBanner;
class UrlOpener;

// The cleanup list card's content: the last clean's banner, the notices on what the scan
// cannot see, then one section per category with visible items, keyed by category so rows
// keep their state across refreshes.
class CleanupList : public QScrollArea {
public:
  // Where the Docker application can be opened from, if this computer has one.
  using DockerFinder = std::function<std::optional<QUrl>()>;

  CleanupList(AppModel& model, UrlOpener& opener, DockerFinder findDocker, QWidget* parent = nullptr);

  void refresh();
  // The banner is rebuilt only when the summary is replaced, so an open failures list stays open.
  void summaryChanged() { summaryStale = true; }

  KeyedRowList* sections() const { return categories; }
  Banner* fullDiskAccessNotice() const { return fullDiskAccess; }
  Banner* dockerNotice() const { return docker; }
  Button* openDockerButton() const { return openDocker; }

private:
  void refreshSummary();
  void makeNotices(QWidget* content);

  AppModel& model;
  UrlOpener& opener;
  DockerFinder findDocker;
  std::optional<QUrl> dockerApp;
  bool summaryStale = true;
  QVBoxLayout* column;
  SummaryBanner* summary = nullptr;
  Banner* fullDiskAccess = nullptr;
  Banner* docker = nullptr;
  Button* openDocker = nullptr;
  KeyedRowList* categories;
};

}  // namespace tidra
