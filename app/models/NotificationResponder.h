#pragma once

#include "platform/Notifications.h"

namespace tidra {

class AppModel;
class BackgroundMonitor;
class WindowOpener;

// Answers a click on one of the monitor's notifications or on its buttons: "stop" and "keep"
// go to the monitor with the notification's server (and its start time, so only that run is
// stopped); a click opens the main window at the notification's section, on the developer
// tools when it was about a server. User info that is missing or of the wrong type reads as
// absent.
void respondToNotification(const NotificationResponse& response, BackgroundMonitor& monitor, AppModel& model,
                           WindowOpener& opener);

}  // namespace tidra
