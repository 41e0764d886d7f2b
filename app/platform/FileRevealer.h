#pragma once

#include "platform/UrlOpener.h"

#include <QString>

#include <string>

namespace tidra {

// Shows a file or folder to the person in their file manager, selected where the file manager
// can select it. Paths are the file system's bytes, which need not be UTF-8.
class FileRevealer {
public:
  virtual ~FileRevealer() = default;
  virtual void reveal(const std::string& path) = 0;
};

// Asks the session's file manager (org.freedesktop.FileManager1.ShowItems) without waiting;
// when no file manager answers, opens the containing folder with `opener`, which tells the
// person when that fails too.
class LiveFileRevealer final : public FileRevealer {
public:
  explicit LiveFileRevealer(UrlOpener& opener) : opener(opener) {}

  void reveal(const std::string& path) override;

  // The file:// address of `path` with every byte but the unreserved ones and "/"
  // percent-encoded, so a name that is not UTF-8 still names that very file.
  static QString uriOf(const std::string& path);

private:
  UrlOpener& opener;
};

}  // namespace tidra
