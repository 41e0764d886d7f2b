#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void javascript(Builder&) {}

} // namespace tidra::CleanupCatalog
