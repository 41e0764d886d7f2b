#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void flutter(Builder&) {}

} // namespace tidra::CleanupCatalog
