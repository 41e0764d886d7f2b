#include "cleanup/CatalogBuilders.h"

namespace tidra::CleanupCatalog {

// Not built yet: adds nothing.
void personalData(Builder&) {}

} // namespace tidra::CleanupCatalog
