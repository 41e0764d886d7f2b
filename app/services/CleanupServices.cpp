#include "services/CleanupServices.h"

namespace tidra {

CleanupServices CleanupServices::live() { return {}; }

}  // namespace tidra
