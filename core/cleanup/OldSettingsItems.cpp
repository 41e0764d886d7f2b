#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void oldSettings(Builder&) {}

} // namespace tidra::CleanupCatalog
