#pragma once

#include "platform/FolderChooser.h"

namespace tidra {

// Remembers the last request; the test confirms or cancels it.
class FakeFolderChooser final : public FolderChooser {
public:
  void chooseFolders(const Request& request, std::function<void(QStringList)> chosen) override {
    lastRequest = request;
    pending = std::move(chosen);
  }
  void confirm(const QStringList& folders) {
    if (pending) std::exchange(pending, {})(folders);
  }

  Request lastRequest;
  std::function<void(QStringList)> pending;
};

}  // namespace tidra
