#include "web/WebAccess.h"

#include <algorithm>

#include "web/WebToken.h"

namespace zarivok {

bool EqualInConstantTime(const QByteArray& a, const QByteArray& b) {
    unsigned difference = a.size() == b.size() ? 0u : 1u;
    const qsizetype length = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < length; ++i) {
        difference |= static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(b[i]);
    }
    return difference == 0;
}

bool WebAccess::IsLockedOut(const QString& address, qint64 nowMs) {
    const auto found = failures_.constFind(address);
    return found != failures_.constEnd() && found->lockedUntil > nowMs;
}

WebAccess::Verdict WebAccess::CheckToken(const QByteArray& offered, const QString& address,
                                         qint64 nowMs) {
    if (IsLockedOut(address, nowMs)) return Verdict::kTooMany;
    if (!token_.isEmpty() && EqualInConstantTime(offered, token_)) return Verdict::kAllowed;
    // Only wrong tokens are kept, and only for a minute: an address that stops guessing is
    // forgotten.
    if (failures_.size() > 4096) Forget(nowMs);
    Failures& record = failures_[address];
    while (!record.times.empty() && record.times.front() <= nowMs - kWindowMs) {
        record.times.pop_front();
    }
    record.times.push_back(nowMs);
    if (static_cast<int>(record.times.size()) >= kWrongTokensAllowed) {
        record.lockedUntil = nowMs + kLockoutMs;
        record.times.clear();
    }
    return Verdict::kWrongToken;
}

void WebAccess::Forget(qint64 nowMs) {
    for (auto it = failures_.begin(); it != failures_.end();) {
        const bool recent = !it->times.empty() && it->times.back() > nowMs - kWindowMs;
        if (!recent && it->lockedUntil <= nowMs) {
            it = failures_.erase(it);
        } else {
            ++it;
        }
    }
}

QByteArray WebAccess::NewSession() {
    if (sessions_.size() >= kMaxSessions) {
        const auto oldest = std::min_element(sessions_.begin(), sessions_.end());
        sessions_.erase(oldest);
    }
    QByteArray id = NewRandomToken();
    sessions_.insert(id, ++sessionsMade_);
    return id;
}

void WebAccess::EndSession(const QByteArray& id) { sessions_.remove(id); }

}  // namespace zarivok
