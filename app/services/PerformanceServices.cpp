#include "services/PerformanceServices.h"

namespace tidra {

PerformanceServices PerformanceServices::live() { return {}; }

}  // namespace tidra
