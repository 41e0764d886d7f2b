#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <sys/types.h>

namespace tidra::test {

// Every entry below a folder with what it holds, to tell afterwards exactly what changed:
// a file by its content, a link by its target, a folder by being there.
struct FolderRecord {
  struct Entry {
    enum class Kind { file, folder, link, other } kind = Kind::other;
    // A file's SHA-256, a link's target.
    QByteArray content;
    qint64 allocated = 0;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Entry& other) const { return kind == other.kind && content == other.content; }
  };

  // Keyed by the path relative to the folder.
  std::map<QString, Entry> entries;

  // Nothing follows a link.
  static FolderRecord of(const QString& folder);

  // Whether `relative` is `top` or lies below it.
  static bool isWithin(const QString& relative, const QString& top);
  // The entries at or below any of `tops`.
  FolderRecord within(const QStringList& tops) const;
  // The entries at or below none of `tops`.
  FolderRecord without(const QStringList& tops) const;
  // Allocated bytes of the files, each file once however many names it has; folders' own
  // blocks left out, as the engine's sizes leave them out.
  qint64 allocatedBytes() const;

  // "added <path>", "removed <path>" and "changed <path>" for every entry that differs, in path
  // order: empty when nothing changed.
  static QStringList changes(const FolderRecord& before, const FolderRecord& after);
};

}  // namespace tidra::test
