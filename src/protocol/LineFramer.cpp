#include "protocol/LineFramer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zarivok {
namespace {

// The first CR or LF before limit, else limit. Server lines end in CR LF, so the CR is looked
// for first and the LF only before it, each with memchr's many bytes at a time.
const char* FindLineEnd(const char* p, const char* limit) {
    const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(limit - p));
    const char* end = cr ? static_cast<const char*>(cr) : limit;
    const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    return lf ? static_cast<const char*>(lf) : end;
}

}  // namespace

FramedBatch LineFramer::Feed(const QByteArray& data) {
    FramedBatch batch;
    batch.data_ = data;
    const char* p = batch.data_.constData();
    const char* const end = p + batch.data_.size();
    // Nearly every arrival of a busy channel begins with the rest of a line the last one cut.
    if (!tail_.isEmpty()) {
        const char* const limit = p + std::min<qsizetype>(kMaxLineBytes - tail_.size(), end - p);
        const char* const q = FindLineEnd(p, limit);
        tail_.append(p, q - p);
        const bool ended = q < limit;
        if (!ended && tail_.size() < kMaxLineBytes) return batch;
        batch.joined_ = std::exchange(tail_, {});
        batch.lines_.push_back({batch.joined_, !ended});
        p = ended ? q + 1 : q;
    }
    while (p < end) {
        const char* const limit = p + std::min<qsizetype>(kMaxLineBytes, end - p);
        const char* const q = FindLineEnd(p, limit);
        if (q < limit) {
            if (q > p) batch.lines_.push_back({QByteArrayView(p, q - p), false});
            p = q + 1;
        } else if (q - p == kMaxLineBytes) {
            batch.lines_.push_back({QByteArrayView(p, q - p), true});
            p = q;
        } else {
            tail_ = QByteArray(p, q - p);
            p = q;
        }
    }
    return batch;
}

}  // namespace zarivok
