#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void appCaches(Builder&) {}

} // namespace tidra::CleanupCatalog
