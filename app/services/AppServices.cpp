#include "services/AppServices.h"

namespace tidra {

AppServices AppServices::live() {
  return {CleanupServices::live(), PerformanceServices::live(), FileServices::live(), ProjectServices::live(),
          ApplicationServices::live()};
}

}  // namespace tidra
