#pragma once

#include <QStringList>

namespace tidra::Demo {

// Whether an argument vector asks for demo mode: the first "--demo" followed by anything but
// "no". Later occurrences are ignored.
bool requested(const QStringList& arguments);

// The process-wide switch every data source consults. The entry point decides it once, from
// its own arguments, before any model exists; tests decide it for themselves.
bool isOn();
void decide(bool on);

}  // namespace tidra::Demo
