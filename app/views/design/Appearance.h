#pragma once

namespace tidra::Appearance {

// Screenshot mode: the look of cards, buttons and sidebar labels that stays the same on every
// machine. The entry point turns it on when "--snapshot" has a value
// (`Snapshot::value(arguments, "--snapshot")`); tests decide it for themselves.
bool screenshotMode();
void setScreenshotMode(bool on);

}  // namespace tidra::Appearance
