#pragma once

#include <QString>

class QWidget;

namespace tidra::test {

// Saves `widget` as "<name>-light.png" and "<name>-dark.png" in the folder named by
// TIDRA_RENDER_DIR, for looking at a screen; does nothing when the variable is unset.
void renderIfAsked(QWidget& widget, const QString& name);

// Grabs `widget` as it looks now and answers whether it drew anything (text or
// art, not just a background);
// the picture is also saved as "<name>.png" in TIDRA_RENDER_DIR when that names a folder.
bool drewSomething(QWidget& widget, const QString& name);

}  // namespace tidra::test
