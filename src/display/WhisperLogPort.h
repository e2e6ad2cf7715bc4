#pragma once

#include <QList>

#include "display/RtfLog.h"

namespace zarivok {

// The whisper log as a whole, for a front end that shows it elsewhere than in the window that
// keeps it (the web console's Whisper Window).
class WhisperLogPort {
  public:
    virtual ~WhisperLogPort() = default;
    // Its runs, loading the log first as showing the whisper window would.
    virtual QList<RtfRun> WhisperRuns() = 0;
    // The whisper window's Clear: empties the log and saves it.
    virtual void ClearWhispers() = 0;
};

}  // namespace zarivok
