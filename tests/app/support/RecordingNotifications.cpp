#include "RecordingNotifications.h"

namespace tidra::test {

std::vector<QString> RecordingNotifications::identifiers() const {
  std::vector<QString> ids;
  for (const auto& request : posted) ids.push_back(request.identifier);
  return ids;
}

}  // namespace tidra::test
