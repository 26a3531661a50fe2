// A stage pauses itself when the window loses the focus: the player has turned to
// something else, and the game should not play on without them.
#pragma once

// The window lost the focus (WM_KILLFOCUS).
void NoteFocusLost();

// True once after a focus loss if the stage can open its pause menu now: a stage runs,
// no menu, opening, orb message or goal is up, and no fade runs. The input snapshot
// then reports Space, the key that opens the pause menu.
bool TakeFocusPause();
