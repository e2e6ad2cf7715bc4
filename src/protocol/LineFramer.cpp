#include "protocol/LineFramer.h"

#include <algorithm>
#include <utility>

namespace zarivok {

QList<FramedLine> LineFramer::Feed(const QByteArray& data) {
    QList<FramedLine> lines;
    const char* p = data.constData();
    const char* const end = p + data.size();
    while (p < end) {
        const qsizetype room = kMaxLineBytes - tail_.size();
        const char* const limit = p + std::min<qsizetype>(room, end - p);
        const char* q = p;
        while (q < limit && *q != '\r' && *q != '\n') ++q;
        tail_.append(p, q - p);
        if (q < limit) {
            if (!tail_.isEmpty()) lines.push_back({std::exchange(tail_, {}), false});
            p = q + 1;
        } else {
            if (tail_.size() == kMaxLineBytes) lines.push_back({std::exchange(tail_, {}), true});
            p = q;
        }
    }
    return lines;
}

}  // namespace zarivok
