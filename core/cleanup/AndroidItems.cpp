#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void android(Builder&) {}

} // namespace tidra::CleanupCatalog
