#include "services/FileServices.h"

namespace tidra {

FileServices FileServices::live() { return {}; }

}  // namespace tidra
