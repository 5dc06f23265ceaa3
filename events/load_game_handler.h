#pragma once

namespace Events {

// Counts the loads that reach the load-game sink: the first and the second run the
// cleaning pass; a failed pass ends the game through the fatal-error box.
void HandleNVALoadGameEvent();

}  // namespace Events
