#pragma once

#include "platform/Notifications.h"

#include <vector>

namespace tidra::test {

// Notifications that only remember what was asked of them; respond() plays a person clicking.
class RecordingNotifications final : public Notifications {
  Q_OBJECT

public:
  void prepare() override { ++prepared; }
  void post(const NotificationRequest& request) override { posted.push_back(request); }
  void respond(const NotificationResponse& response) { emit responded(response); }

  // Identifiers of what was posted, in order.
  std::vector<QString> identifiers() const;

  int prepared = 0;
  std::vector<NotificationRequest> posted;
};

}  // namespace tidra::test
