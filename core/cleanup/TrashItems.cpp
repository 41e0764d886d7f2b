#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void trash(Builder&) {}

} // namespace tidra::CleanupCatalog
