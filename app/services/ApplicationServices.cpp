#include "services/ApplicationServices.h"

namespace tidra {

ApplicationServices ApplicationServices::live() { return {}; }

}  // namespace tidra
