#pragma once

namespace app {

// How the desk shows itself to the desktop: the name the window manager, the taskbar and the
// window list give its windows (the writing window has no title bar and its caption stays
// empty; a dialog's title gets the name after it), the desktop entry its windows belong to,
// and the program's icon, compiled into the program.
void PresentToDesktop();

}  // namespace app
