#pragma once

#include <QRect>
#include <QSize>

// Qt scales the window with the screen. At 150 % on a 1080-pixel laptop
// screen the window and its title bar are taller than what the taskbar
// leaves, and the tab bar at its foot, the only way to "Configuration", is
// out of reach.

// The factor by which to scale the program down so that a window of
// `client` (inside a frame of `frame`, both in the screen's current units)
// fits `available`; 1 where it already fits. The title bar and borders keep
// their size whatever the program's scale, so only the client part shrinks.
double fittingScale(const QSize &client, const QSize &frame, const QSize &available);

// Called before the application object. Where the window would not fit the
// screen's available area, it lowers the program's own scale factor to the
// largest with which it fits, and keeps the window inside that area when it
// is shown. Where the window fits, nothing changes.
void fitWindowToScreen(int &argc, char **argv);
