#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void deletedApps(Builder&) {}

} // namespace tidra::CleanupCatalog
