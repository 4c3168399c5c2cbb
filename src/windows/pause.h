#pragma once
// The pauses of the animations go through this one function, so tests can record them
// instead of sleeping.

#include <functional>

namespace morvik {

using PauseFunction = std::function<void(int milliseconds)>;

// Pauses for the given time (the thread sleeps; no events are processed).
void Pause(int milliseconds);

// Replaces the pause; returns the previous one. An empty function restores sleeping.
PauseFunction SetPauseFunction(PauseFunction pause);

}  // namespace morvik
