#include "CleanableHome.h"

#include "support/GitFixture.h"

#include <filesystem>

namespace tidra::test {

namespace {

void age(const std::string& folder, std::chrono::hours by) {
  namespace fs = std::filesystem;
  const auto then = fs::file_time_type::clock::now() - by;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_symlink()) fs::last_write_time(entry.path(), then);
  fs::last_write_time(folder, then);
}

}  // namespace

CleanableHome::CleanableHome() {
  // Safe caches, shown and selected.
  home.file(".cache/pip/http/a/b/c/d/e/4f1c2d", 120'000);
  home.file(".cache/pip/selfcheck/0a1b.json", 300);
  home.file(".npm/_cacache/content-v2/sha512/ab/cd/0123", 250'000);
  home.file(".npm/_cacache/index-v5/ab/cd/4567", 1'000);
  home.file(".cache/go-build/0a/0a12-d", 80'000);
  home.file(".cache/mesa_shader_cache/index", 6'000'000);
  // An app cache below the size the list shows, an image kit left for review, personal files.
  home.file(".cache/fontconfig/cache-8", 40'000);
  home.file(".local/share/kraftkit/runtime/oci/unikernel.tar", 50'000);
  home.text("Documents/report.txt", "Quarterly figures\n");
  home.file("Pictures/holiday.jpg", 90'000);
  home.text(".config/editor/settings.ini", "[view]\nwrap=true\n");

  const std::string web = home.path("Projects/web");
  home.text("Projects/web/package.json", "{\"name\":\"web\"}\n");
  home.text("Projects/web/requirements.txt", "requests\n");
  home.text("Projects/web/src/index.js", "console.log('hi')\n");
  home.text("Projects/web/.gitignore", "node_modules\n.venv\n");
  runGit(web, {"init", "-q", "-b", "main"});
  runGit(web, {"add", "."});
  runGit(web, {"commit", "-q", "-m", "first"});
  home.file("Projects/web/node_modules/left-pad/index.js", 30'000);
  home.text("Projects/web/node_modules/left-pad/package.json", "{\"name\":\"left-pad\"}\n");
  home.file("Projects/web/.venv/lib/python3.11/site-packages/requests/api.py", 20'000);
  age(web, std::chrono::hours(24 * 60));

  home.text("Projects/engine/Cargo.toml", "[package]\nname = \"engine\"\n");
  home.text("Projects/engine/src/main.rs", "fn main() {}\n");
  home.file("Projects/engine/target/debug/engine", 70'000);
}

QStringList CleanableHome::cleanupSelects() {
  return {".cache/pip", ".npm/_cacache", ".cache/go-build", ".cache/mesa_shader_cache"};
}

QStringList CleanableHome::projectsSelects() { return {"Projects/web/node_modules"}; }

}  // namespace tidra::test
