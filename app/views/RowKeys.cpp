#include "views/RowKeys.h"

namespace tidra::RowKeys {

QString of(const std::string& path) { return QString::fromLatin1(path.data(), static_cast<qsizetype>(path.size())); }

std::string path(const QString& key) { return key.toLatin1().toStdString(); }

}  // namespace tidra::RowKeys
