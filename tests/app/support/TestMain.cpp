#include "support/TestMain.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tidra::test {
namespace {

struct Registered {
  const char* sourceFile;
  TestMaker make;
};

std::map<std::string, Registered>& registry() {
  static std::map<std::string, Registered> tests;
  return tests;
}

std::string shortName(const std::string& qualified) {
  const auto colons = qualified.rfind("::");
  return colons == std::string::npos ? qualified : qualified.substr(colons + 2);
}

int usage(const char* program) {
  std::fprintf(stderr, "usage: %s TEST [QTest options and test functions]\ntests:\n", program);
  for (const auto& [name, test] : registry()) std::fprintf(stderr, "  %s\n", name.c_str());
  return 2;
}

}  // namespace

bool registerTest(const char* qualifiedName, const char* sourceFile, TestMaker make) {
  registry().emplace(shortName(qualifiedName), Registered{sourceFile, make});
  return true;
}

}  // namespace tidra::test

int main(int argc, char** argv) {
  using namespace tidra::test;
  if (argc < 2) return usage(argv[0]);
  const auto found = registry().find(argv[1]);
  if (found == registry().end()) return usage(argv[0]);

  // What QTEST_MAIN does for one class: the program name stays first, the class name goes.
  std::vector<char*> args{argv[0]};
  args.insert(args.end(), argv + 2, argv + argc);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  QApplication app(count, args.data());
  app.setAttribute(Qt::AA_Use96Dpi, true);
  QTest::setMainSourcePath(found->second.sourceFile);
  const auto test = found->second.make();
  return QTest::qExec(test.get(), count, args.data());
}
