#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void downloads(Builder&) {}

} // namespace tidra::CleanupCatalog
