#include "services/ProjectServices.h"

namespace tidra {

ProjectServices ProjectServices::live() { return {}; }

}  // namespace tidra
