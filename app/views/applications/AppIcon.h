#pragma once

#include <string>

class QLabel;

namespace tidra {
class ApplicationsModel;
}

namespace tidra::applications {

// The app's icon at `side` points square, or null while the model has none for it.
QLabel* appIcon(const ApplicationsModel& model, const std::string& appPath, int side);

}  // namespace tidra::applications
