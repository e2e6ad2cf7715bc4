#pragma once

#include <QString>

namespace zarivok {

// "1d 2h 3m 4s ": days, hours, minutes and seconds of a millisecond count, each without leading
// zeros, ending with a blank. Any 64-bit count is shown; there is nothing to wrap.
QString FormatUptime(quint64 milliseconds);

// Milliseconds since the computer started, suspend included where the system can tell.
quint64 SystemUptimeMs();

}  // namespace zarivok
