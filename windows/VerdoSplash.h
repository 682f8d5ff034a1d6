#pragma once

namespace verdo {

// Shows the splash window until three seconds have passed, the user clicks into it or
// another window takes the focus; it then shrinks away.
void VerdoSplash();

}  // namespace verdo
