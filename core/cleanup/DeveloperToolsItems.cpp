#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void developerTools(Builder&) {}

} // namespace tidra::CleanupCatalog
