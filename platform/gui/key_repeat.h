#pragma once

namespace gui {

// Asks the window system to report a held key as repeated presses and one release, at the
// physical release.
//
// An X server by default sends a release before every repeated press of a held key. Qt
// takes such a release for a repeat only when the matching press is already waiting in its
// queue; on a loaded machine it often is not yet, and the release then counts as a real
// one (a key-up for nearly every repeat). Asked for detectable auto-repeat (a per-client
// flag of the keyboard extension), the server sends no such release at all.
//
// Returns whether the flag is in effect. Does nothing (false) on a window system other than
// X, where the platform marks repeats itself. Requires: the application object exists.
bool AskForDetectableAutoRepeat();

}  // namespace gui
