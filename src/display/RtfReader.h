#pragma once

#include <QByteArrayView>
#include <QList>

#include "display/RtfLog.h"

namespace zarivok {

// The runs of the RTF group that starts at the first byte of document, which must be its '{'.
// Reads until that group closes or the bytes end, whichever comes first: one pass, constant work
// per byte, memory bounded by the size of the document.
QList<RtfRun> ReadRtfGroups(QByteArrayView document);

}  // namespace zarivok
