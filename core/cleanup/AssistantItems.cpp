#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void assistants(Builder&) {}

} // namespace tidra::CleanupCatalog
