#include "views/MenuBarLabel.h"

#include "fs/ByteFormat.h"

namespace tidra::MenuBarLabel {

QString symbol(const std::optional<MemorySnapshot>& memory) {
  if (memory && memory->pressure != MemorySnapshot::Pressure::normal)
    return QStringLiteral("exclamationmark.triangle.fill");
  return QStringLiteral("sparkles");
}

QString text(const std::optional<DiskUsage>& disk) {
  if (!disk) return {};
  return QString::fromStdString(ByteFormat::string(disk->available));
}

}  // namespace tidra::MenuBarLabel
