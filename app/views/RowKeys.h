#pragma once

#include <QString>

#include <string>

// Row keys for paths: the path's bytes one to one as Latin-1 characters, so names that are not
// UTF-8 keep apart and come back exactly. Keys only: a key is never shown.
namespace tidra::RowKeys {

QString of(const std::string& path);
// The path whose key this is.
std::string path(const QString& key);

}  // namespace tidra::RowKeys
