#pragma once

#include <QtGlobal>

namespace zarivok {

// Waits n ticks of 10 ms while pending events keep running, so the program stays responsive
// during the short pause the add commands take. Timers, socket events and further received
// lines may therefore run inside the wait. n <= 0 returns at once without running any event.
void PauseTicks(qint64 n);

// "Let pending events run", in one place so that its users are easy to find: timers, socket
// events, windows and further received lines may all run inside it.
void LetEventsRun();

}  // namespace zarivok
