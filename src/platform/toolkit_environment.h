// Prepares the process environment before the toolkit's application object is
// made: headless programs choose the offscreen platform, and a private runtime
// folder is provided when the session has none (as on build machines).
#pragma once

namespace kiv {

// headless: use the offscreen platform unless QT_QPA_PLATFORM says otherwise.
void PrepareToolkitEnvironment(bool headless);

}  // namespace kiv
