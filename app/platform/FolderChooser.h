#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tidra {

// Asks the person for one or more folders. Never blocks: `chosen` runs later with the folders
// picked, in the order given, and only when the person confirmed with at least one.
class FolderChooser {
public:
  struct Request {
    QString startFolder;
    QString prompt;   // the confirm button's text
    QString message;  // what the chooser asks for
  };

  virtual ~FolderChooser() = default;
  virtual void chooseFolders(const Request& request, std::function<void(QStringList)> chosen) = 0;
};

// A window-modal folder dialog that allows several folders at once.
class LiveFolderChooser final : public FolderChooser {
public:
  void chooseFolders(const Request& request, std::function<void(QStringList)> chosen) override;
};

}  // namespace tidra
