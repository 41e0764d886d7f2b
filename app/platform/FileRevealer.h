#pragma once

#include <QString>

namespace tidra {

// Shows a file or folder to the person in their file manager, selected where the file manager
// can select it.
class FileRevealer {
public:
  virtual ~FileRevealer() = default;
  virtual void reveal(const QString& path) = 0;
};

// Asks the session's file manager (org.freedesktop.FileManager1.ShowItems) without waiting;
// when no file manager answers, opens the containing folder instead.
class LiveFileRevealer final : public FileRevealer {
public:
  void reveal(const QString& path) override;
};

}  // namespace tidra
