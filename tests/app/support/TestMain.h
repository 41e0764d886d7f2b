#pragma once

// The application's QTest classes register themselves here instead of each bringing a main(): the
// tests of one area link into one executable, which runs the class its first argument names, in
// a process of its own as CTest starts it. Linking one executable per test file cost more than
// compiling them.

#include <QObject>

#include <memory>

namespace tidra::test {

using TestMaker = std::unique_ptr<QObject> (*)();

// Records a test class under its name (the last part of a qualified name); returns true so a
// namespace-scope constant can hold the call.
bool registerTest(const char* qualifiedName, const char* sourceFile, TestMaker make);

}  // namespace tidra::test

#define TIDRA_TEST_JOIN2(a, b) a##b
#define TIDRA_TEST_JOIN(a, b) TIDRA_TEST_JOIN2(a, b)

#define TIDRA_TEST_MAIN(Class)                                                                 \
  namespace {                                                                                  \
  const bool TIDRA_TEST_JOIN(registeredTest, __COUNTER__) = ::tidra::test::registerTest(          \
      #Class, __FILE__, [] { return std::unique_ptr<QObject>(new Class); });                   \
  }
