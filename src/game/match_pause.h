#pragma once

class ZefDX;

// A paused match, run between two frames: a blocking screen that shows the
// picture on screen with "paused" over it until P or Pause resumes the match
// (true) or Escape ends it (false). Nothing of the game runs meanwhile and
// every playing sound holds where it is. The picture on screen and the keys
// are put back as they were, so the match goes on as if it had never
// stopped, and keys held across the pause are not new hits afterwards.
bool runMatchPause(ZefDX* engine);

// P or Pause pressed on the latest input update.
bool pauseKeyHit(const ZefDX* engine);
