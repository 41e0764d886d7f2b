#pragma once

#include "cleanup/CleanupCatalog.h"

#include <functional>
#include <vector>

// The category builders, run by CleanupCatalog::items in exactly this order, each on the one
// Builder of a build. Only the catalog and the tests call them directly.
namespace tidra::CleanupCatalog {

void xcode(Builder& builder);
void android(Builder& builder);
void javascript(Builder& builder);
void flutter(Builder& builder);
void developerTools(Builder& builder);
void oldSettings(Builder& builder);
void assistants(Builder& builder);
void personalData(Builder& builder);
void leftovers(Builder& builder);
void deletedApps(Builder& builder);
void downloads(Builder& builder);
void trash(Builder& builder);
void appCaches(Builder& builder);

using Step = std::function<void(Builder&)>;

// The thirteen builders above, in the order `items` runs them.
const std::vector<Step>& builderOrder();

// Runs `steps` one after another on a fresh builder over `env`, then orders the items by
// category (display order), keeping the order added within a category.
std::vector<CleanupItem> build(const CleanupEnvironment& env, const std::vector<Step>& steps);

} // namespace tidra::CleanupCatalog
