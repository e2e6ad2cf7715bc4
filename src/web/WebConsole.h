#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHttpServer>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "web/WebAddress.h"

class QTcpServer;

namespace zarivok {

class Bot;
class LiveFeed;
class WebAccess;
class WebActions;
class WhisperRecord;

// The web console: a page served by the bot itself, from which a browser watches the channel
// and steers the bot as the window does. Plain HTTP on the address given (127.0.0.1 unless the
// operator says otherwise), for one operator who holds the token in the profile's web-token
// file.
//
// Who gets in: the token, as a login (which sets a session cookie: HttpOnly, SameSite=Strict)
// or as "Authorization: Bearer <token>" for scripts. Wrong tokens count towards a lockout of
// the address. The live stream and every action also refuse an Origin other than the console's
// own, and actions take a JSON body only, so another site's page can neither read the stream nor
// post a form to it.
//
// The live channel is Server-Sent Events on /events. An upgrade to any other protocol is never
// answered with 101: nothing here accepts WebSockets, so the server refuses them before any
// handshake.
class WebConsole : public QObject {
    Q_OBJECT
  public:
    static constexpr char kSessionCookie[] = "zarivok_session";
    // Said in the pane, and on standard error by the headless bot, followed by the address.
    static constexpr char kWebConsoleAt[] = "Web console at ";

    explicit WebConsole(Bot& bot, QObject* parent = nullptr);
    ~WebConsole() override;

    // Reads or makes the token, then listens. Says in the pane (and returns) where the console
    // is, or in red why it is off; the bot runs on either way.
    std::optional<QString> Start(const WebAddress& where);
    quint16 Port() const { return port_; }
    LiveFeed& Feed() { return *feed_; }

    // Tests stand in for the monotonic clock that times wrong tokens.
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

  private:
    enum class Gate { kOpen, kUnauthorized, kTooMany, kForbidden };
    Gate Admit(const QHttpServerRequest& request);
    // The answer to a request that may not pass, or nothing for one that may.
    std::optional<QHttpServerResponse> Refusal(const QHttpServerRequest& request);
    bool HasSession(const QHttpServerRequest& request) const;
    bool OriginIsOwn(const QHttpServerRequest& request) const;
    qint64 Now() const;
    void AddRoutes();
    QHttpServerResponse Page(const QHttpServerRequest& request);
    QHttpServerResponse StaticFile(const QString& path);
    QHttpServerResponse Resource(const QString& path);
    QHttpServerResponse Login(const QHttpServerRequest& request);
    QHttpServerResponse Logout(const QHttpServerRequest& request);
    void Events(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    QHttpServerResponse Action(const QHttpServerRequest& request, const QString& name);
    QHttpServerResponse Query(const QHttpServerRequest& request, const QString& name);

    Bot& bot_;
    QHttpServer server_;
    std::unique_ptr<WebAccess> access_;
    std::unique_ptr<LiveFeed> feed_;
    std::unique_ptr<WebActions> actions_;
    std::unique_ptr<WhisperRecord> whispers_;
    quint16 port_ = 0;
    QElapsedTimer monotonic_;
    std::function<qint64()> clock_;
};

}  // namespace zarivok
