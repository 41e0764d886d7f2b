#pragma once

#include <QStringList>

namespace tidra::Appearance {

// Screenshot mode: the look of cards, buttons and sidebar labels that stays the same on every
// machine. The entry point decides it once from its arguments; tests decide it for themselves.
bool screenshotMode();
void setScreenshotMode(bool on);

// Whether an argument vector asks for screenshot mode: the first argument exactly equal to
// "--snapshot" followed by any value. "--snapshot" as the last argument does not count, nor
// does an argument that merely starts with it ("--snapshot-extras").
bool screenshotRequested(const QStringList& arguments);

}  // namespace tidra::Appearance
