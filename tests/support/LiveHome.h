#pragma once

#include "support/ScopedVariable.h"
#include "support/TempHome.h"

namespace tidra::test {

// A fixture home the live environment takes for the user's: HOME (given with a trailing "/",
// as a shell may), the XDG data folders ("data"; "system" and "other") and PATH ("bin") point
// into it while the fixture lives, so the machine's own apps stay out of the answers.
struct LiveHome {
    TempHome home;
    ScopedVariable homeVariable{"HOME", home.root() + "/"};
    ScopedVariable dataHome{"XDG_DATA_HOME", home.path("data")};
    ScopedVariable dataDirs{"XDG_DATA_DIRS", home.path("system") + ":" + home.path("other")};
    ScopedVariable path{"PATH", home.path("bin")};
};

} // namespace tidra::test
