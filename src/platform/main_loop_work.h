#pragma once

namespace zemblo {

// Runs now the work the main loop's scheduler holds for its next idle turn (not the work waiting
// on the redraws), and the work that asks for a turn meanwhile. For input handled in the same
// turn of the main loop as a frame: the main loop runs both before any idle work, so the frame
// would not show what the input changed until the next one.
void runWaitingMainLoopWork();

}  // namespace zemblo
