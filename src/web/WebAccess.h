#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <deque>

namespace zarivok {

// Who may use the web console: the holder of the token, and the browsers it logged in. Guessing
// is slowed down per address: 5 wrong tokens within a minute shut that address out for a minute,
// with the right token too.
class WebAccess {
  public:
    static constexpr int kWrongTokensAllowed = 5;
    static constexpr qint64 kWindowMs = 60'000;
    static constexpr qint64 kLockoutMs = 60'000;
    // Logging in more often than this (a browser per device, a few restarts of each) ends the
    // oldest session first, so that logins cannot fill the memory.
    static constexpr qsizetype kMaxSessions = 256;

    explicit WebAccess(QByteArray token) : token_(std::move(token)) {}

    enum class Verdict { kAllowed, kWrongToken, kTooMany };
    // Checks a token offered from address at the monotonic time nowMs, counting a wrong one.
    Verdict CheckToken(const QByteArray& offered, const QString& address, qint64 nowMs);
    bool IsLockedOut(const QString& address, qint64 nowMs);

    QByteArray NewSession();
    bool HasSession(const QByteArray& id) const { return !id.isEmpty() && sessions_.contains(id); }
    void EndSession(const QByteArray& id);

  private:
    struct Failures {
        std::deque<qint64> times;
        qint64 lockedUntil = 0;
    };
    void Forget(qint64 nowMs);

    QByteArray token_;
    QHash<QString, Failures> failures_;
    // Session id to the order it was made in.
    QHash<QByteArray, quint64> sessions_;
    quint64 sessionsMade_ = 0;
};

// Compares in a time that does not depend on where the two first differ.
bool EqualInConstantTime(const QByteArray& a, const QByteArray& b);

}  // namespace zarivok
