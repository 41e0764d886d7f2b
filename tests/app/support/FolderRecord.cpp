#include "FolderRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tidra::test {

namespace {

QByteArray digest(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArrayLiteral("unreadable");
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&file);
  return hash.result();
}

FolderRecord::Entry entryAt(const QString& path) {
  struct stat status {};
  FolderRecord::Entry entry;
  if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return entry;
  entry.device = status.st_dev;
  entry.inode = status.st_ino;
  if (S_ISDIR(status.st_mode)) {
    entry.kind = FolderRecord::Entry::Kind::folder;
  } else if (S_ISLNK(status.st_mode)) {
    entry.kind = FolderRecord::Entry::Kind::link;
    entry.content = QFile::encodeName(QFile::symLinkTarget(path));
  } else if (S_ISREG(status.st_mode)) {
    entry.kind = FolderRecord::Entry::Kind::file;
    entry.content = digest(path);
    entry.allocated = static_cast<qint64>(status.st_blocks) * 512;
  }
  return entry;
}

}  // namespace

FolderRecord FolderRecord::of(const QString& folder) {
  FolderRecord record;
  const QDir root(folder);
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    record.entries[root.relativeFilePath(path)] = entryAt(path);
  }
  return record;
}

bool FolderRecord::isWithin(const QString& relative, const QString& top) {
  return relative == top || relative.startsWith(top + QLatin1Char('/'));
}

FolderRecord FolderRecord::within(const QStringList& tops) const {
  FolderRecord part;
  for (const auto& [relative, entry] : entries)
    for (const QString& top : tops)
      if (isWithin(relative, top)) {
        part.entries.emplace(relative, entry);
        break;
      }
  return part;
}

FolderRecord FolderRecord::without(const QStringList& tops) const {
  FolderRecord part = *this;
  for (const auto& [relative, entry] : within(tops).entries) part.entries.erase(relative);
  return part;
}

qint64 FolderRecord::allocatedBytes() const {
  std::set<std::pair<dev_t, ino_t>> seen;
  qint64 total = 0;
  for (const auto& [relative, entry] : entries)
    if (entry.kind == Entry::Kind::file && seen.insert({entry.device, entry.inode}).second) total += entry.allocated;
  return total;
}

QStringList FolderRecord::changes(const FolderRecord& before, const FolderRecord& after) {
  std::map<QString, QString> found;
  for (const auto& [relative, entry] : before.entries) {
    const auto now = after.entries.find(relative);
    if (now == after.entries.end()) found[relative] = QStringLiteral("removed ");
    else if (!(now->second == entry)) found[relative] = QStringLiteral("changed ");
  }
  for (const auto& [relative, entry] : after.entries)
    if (!before.entries.contains(relative)) found[relative] = QStringLiteral("added ");
  QStringList lines;
  for (const auto& [relative, change] : found) lines << change + relative;
  return lines;
}

}  // namespace tidra::test
