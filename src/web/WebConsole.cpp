#include "web/WebConsole.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include "base/Texts.h"
#include "bot/Bot.h"
#include "display/WhisperRecord.h"
#include "web/LiveFeed.h"
#include "web/WebAccess.h"
#include "web/WebActions.h"
#include "web/WebListener.h"
#include "web/WebToken.h"

namespace zarivok {
namespace {

using Status = QHttpServerResponder::StatusCode;

// Every answer tells the browser to run only the console's own files, to keep the page out of
// other sites' frames and to send no address of it elsewhere.
const QList<std::pair<QByteArray, QByteArray>> kSecurityHeaders = {
    {"Content-Security-Policy",
     "default-src 'self'; img-src 'self'; style-src 'self'; script-src 'self'; "
     "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'"},
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Cache-Control", "no-store"},
};

// The reasons a refusal gives, in its JSON body.
constexpr char kForeignOrigin[] = "foreign origin";
constexpr char kTooManyWrongTokens[] = "too many wrong tokens";

QHttpServerResponse Json(const QJsonObject& object, Status status = Status::Ok) {
    return QHttpServerResponse("application/json",
                               QJsonDocument(object).toJson(QJsonDocument::Compact), status);
}

QHttpServerResponse Problem(Status status, const char* why) {
    return Json(QJsonObject{{QStringLiteral("error"), QLatin1String(why)}}, status);
}

QByteArray ContentType(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == QLatin1String("html")) return "text/html; charset=utf-8";
    if (suffix == QLatin1String("css")) return "text/css; charset=utf-8";
    if (suffix == QLatin1String("js")) return "text/javascript; charset=utf-8";
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("svg")) return "image/svg+xml";
    return "application/octet-stream";
}

QByteArray CookieValue(const QByteArray& header, const QByteArray& name) {
    for (const QByteArray& part : header.split(';')) {
        const QByteArray trimmed = part.trimmed();
        if (trimmed.startsWith(name) && trimmed.size() > name.size() &&
            trimmed[name.size()] == '=') {
            return trimmed.mid(name.size() + 1);
        }
    }
    return {};
}

bool IsUpgrade(const QHttpServerRequest& request) { return !request.value("upgrade").isEmpty(); }

}  // namespace

WebConsole::WebConsole(Bot& bot, QObject* parent)
    : QObject(parent),
      bot_(bot),
      feed_(std::make_unique<LiveFeed>(bot)),
      actions_(std::make_unique<WebActions>(bot)) {
    monotonic_.start();
    // Refused WebSocket upgrades and clients that go away are the server's everyday business,
    // not news for the operator's standard error.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.httpserver.warning=false"));
    server_.afterRequest([](QHttpServerResponse&& response) {
        for (const auto& [name, value] : kSecurityHeaders) {
            if (!response.hasHeader(name)) response.addHeader(name, value);
        }
        return std::move(response);
    });
    AddRoutes();
}

WebConsole::~WebConsole() {
    if (whispers_) {
        bot_.SetWhisperPane(nullptr);
        bot_.SetWhisperLog(nullptr);
    }
}

qint64 WebConsole::Now() const { return clock_ ? clock_() : monotonic_.elapsed(); }

std::optional<QString> WebConsole::Start(const WebAddress& where) {
    const WebTokenFile token = LoadWebToken(bot_.Paths().webTokenFile);
    for (const QString& note : token.notes) bot_.AppendChat(note + kCrLf, kYellow);
    if (token.token.isEmpty()) {
        bot_.AppendChat(token.problem + kCrLf, kRed);
        return std::nullopt;
    }
    access_ = std::make_unique<WebAccess>(token.token);

    auto* listener = new WebListener(this);
    if (!listener->listen(where.address, where.port)) {
        bot_.AppendChat(QStringLiteral("The web console is off: cannot listen on %1: %2.")
                                .arg(where.HostAndPort(), listener->errorString()) +
                            kCrLf,
                        kRed);
        delete listener;
        return std::nullopt;
    }
    server_.bind(listener);
    WebAddress bound = where;
    bound.port = port_ = listener->serverPort();
    if (!where.IsLoopback()) {
        bot_.AppendChat(QStringLiteral("The web console on %1 is plain HTTP: anyone on the way "
                                       "can read the token. Reach it only through a TLS proxy.")
                                .arg(bound.HostAndPort()) +
                            kCrLf,
                        kYellow);
    }
    // A bot without a whisper window keeps its whisper log here, for the console's.
    if (!bot_.GetWhisperLog()) {
        whispers_ = std::make_unique<WhisperRecord>(bot_.Output(), bot_.Paths().whisperFile);
        bot_.SetWhisperPane(whispers_.get());
        bot_.SetWhisperLog(whispers_.get());
    }
    const QString url = bound.Url();
    bot_.AppendChat(QLatin1String(kWebConsoleAt) + url + kCrLf, kGreen);
    return url;
}

bool WebConsole::HasSession(const QHttpServerRequest& request) const {
    return access_ && access_->HasSession(CookieValue(request.value("cookie"), kSessionCookie));
}

// The Origin a browser sends names the page that made the request. The console's own page is
// served from the Host it asked for, directly or through a TLS proxy that passes Host on.
bool WebConsole::OriginIsOwn(const QHttpServerRequest& request) const {
    const QByteArray origin = request.value("origin");
    if (origin.isEmpty()) return true;  // not from a browser's page (curl, a script)
    const QByteArray host = request.value("host");
    if (host.isEmpty()) return false;
    return origin.compare("http://" + host, Qt::CaseInsensitive) == 0 ||
           origin.compare("https://" + host, Qt::CaseInsensitive) == 0;
}

WebConsole::Gate WebConsole::Admit(const QHttpServerRequest& request) {
    if (!OriginIsOwn(request)) return Gate::kForbidden;
    if (HasSession(request)) return Gate::kOpen;
    const QByteArray authorization = request.value("authorization");
    static const QByteArray kBearer = "Bearer ";
    if (!access_ || !authorization.startsWith(kBearer)) return Gate::kUnauthorized;
    switch (access_->CheckToken(authorization.mid(kBearer.size()).trimmed(),
                                request.remoteAddress().toString(), Now())) {
        case WebAccess::Verdict::kAllowed:
            return Gate::kOpen;
        case WebAccess::Verdict::kTooMany:
            return Gate::kTooMany;
        case WebAccess::Verdict::kWrongToken:
            break;
    }
    return Gate::kUnauthorized;
}

std::optional<QHttpServerResponse> WebConsole::Refusal(const QHttpServerRequest& request) {
    switch (Admit(request)) {
        case Gate::kForbidden:
            return Problem(Status::Forbidden, kForeignOrigin);
        case Gate::kUnauthorized:
            return Problem(Status::Unauthorized, "no session");
        case Gate::kTooMany:
            return Problem(Status::TooManyRequests, kTooManyWrongTokens);
        case Gate::kOpen:
            break;
    }
    return std::nullopt;
}

void WebConsole::AddRoutes() {
    using Method = QHttpServerRequest::Method;
    server_.route("/", Method::Get,
                  [this](const QHttpServerRequest& request) { return Page(request); });
    server_.route("/index.html", Method::Get,
                  [this](const QHttpServerRequest& request) { return Page(request); });
    server_.route("/api/login", Method::Post,
                  [this](const QHttpServerRequest& request) { return Login(request); });
    server_.route("/api/logout", Method::Post,
                  [this](const QHttpServerRequest& request) { return Logout(request); });
    server_.route("/events", Method::Get,
                  [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                      Events(request, std::move(responder));
                  });
    server_.route("/api/<arg>", Method::Get,
                  [this](const QString& name, const QHttpServerRequest& request) {
                      return Query(request, name);
                  });
    server_.route("/api/whispers/clear", Method::Post, [this](const QHttpServerRequest& request) {
        return Action(request, QStringLiteral("clearWhispers"));
    });
    server_.route("/api/<arg>", Method::Post,
                  [this](const QString& name, const QHttpServerRequest& request) {
                      return Action(request, name);
                  });
    server_.route("/<arg>", Method::Get,
                  [this](const QUrl& path, const QHttpServerRequest& request) {
                      if (IsUpgrade(request)) return QHttpServerResponse(Status::NotFound);
                      return StaticFile(path.path());
                  });
}

QHttpServerResponse WebConsole::Page(const QHttpServerRequest& request) {
    return Resource(HasSession(request) ? QStringLiteral("index.html")
                                        : QStringLiteral("login.html"));
}

// The console page itself only comes through Page, which asks for the session first.
QHttpServerResponse WebConsole::StaticFile(const QString& path) {
    if (path == QLatin1String("index.html")) return QHttpServerResponse(Status::NotFound);
    return Resource(path);
}

QHttpServerResponse WebConsole::Resource(const QString& path) {
    // The page's files are compiled in; nothing on the disk is ever served.
    if (path.contains(QLatin1String(".."))) return QHttpServerResponse(Status::NotFound);
    QFile file(QStringLiteral(":/web/") + path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return QHttpServerResponse(Status::NotFound);
    }
    return QHttpServerResponse(ContentType(path), file.readAll());
}

QHttpServerResponse WebConsole::Login(const QHttpServerRequest& request) {
    if (!OriginIsOwn(request)) return Problem(Status::Forbidden, kForeignOrigin);
    if (!access_) return Problem(Status::ServiceUnavailable, "no token");
    const QJsonObject body = QJsonDocument::fromJson(request.body()).object();
    const QJsonValue token = body.value(QLatin1String("token"));
    switch (access_->CheckToken(token.toString().trimmed().toUtf8(),
                                request.remoteAddress().toString(), Now())) {
        case WebAccess::Verdict::kTooMany:
            return Problem(Status::TooManyRequests, kTooManyWrongTokens);
        case WebAccess::Verdict::kWrongToken:
            return Problem(Status::Unauthorized, "wrong token");
        case WebAccess::Verdict::kAllowed:
            break;
    }
    QHttpServerResponse response(Status::NoContent);
    response.addHeader("Set-Cookie", QByteArray(kSessionCookie) + '=' + access_->NewSession() +
                                         "; Path=/; HttpOnly; SameSite=Strict");
    return response;
}

QHttpServerResponse WebConsole::Logout(const QHttpServerRequest& request) {
    if (!OriginIsOwn(request)) return Problem(Status::Forbidden, kForeignOrigin);
    if (access_) access_->EndSession(CookieValue(request.value("cookie"), kSessionCookie));
    QHttpServerResponse response(Status::NoContent);
    response.addHeader("Set-Cookie", QByteArray(kSessionCookie) +
                                         "=; Path=/; Max-Age=0; HttpOnly; SameSite=Strict");
    return response;
}

void WebConsole::Events(const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    // Left unanswered, an upgrade is refused by the server itself, with no handshake.
    if (IsUpgrade(request)) return;
    if (auto refused = Refusal(request)) {
        for (const auto& [name, value] : kSecurityHeaders) refused->addHeader(name, value);
        return refused->write(std::move(responder));
    }
    QTcpSocket* socket = responder.socket();
    responder.writeStatusLine(Status::Ok);
    responder.writeHeaders({{"Content-Type", "text/event-stream; charset=utf-8"},
                            {"Cache-Control", "no-store"},
                            {"X-Content-Type-Options", "nosniff"},
                            // Proxies must pass every event on at once.
                            {"X-Accel-Buffering", "no"}});
    responder.writeBody("");
    feed_->AddStream(socket);
}

QHttpServerResponse WebConsole::Query(const QHttpServerRequest& request, const QString& name) {
    if (auto refused = Refusal(request)) return std::move(*refused);
    if (name == QLatin1String("ping")) return QHttpServerResponse(Status::NoContent);
    const auto answer = actions_->Query(name);
    if (!answer) return Problem(Status::NotFound, "no such query");
    return Json(*answer);
}

QHttpServerResponse WebConsole::Action(const QHttpServerRequest& request, const QString& name) {
    if (auto refused = Refusal(request)) return std::move(*refused);
    // A form on another site can post only form encodings and plain text, never JSON.
    if (!request.value("content-type").startsWith("application/json")) {
        return Problem(Status::UnsupportedMediaType, "JSON only");
    }
    QJsonParseError error;
    const QJsonDocument body = QJsonDocument::fromJson(request.body(), &error);
    if (error.error != QJsonParseError::NoError || !body.isObject()) {
        return Problem(Status::BadRequest, "a JSON object is expected");
    }
    if (name == QLatin1String("complete")) {
        const auto completed = actions_->Complete(body.object());
        return completed ? Json(*completed) : QHttpServerResponse(Status::NoContent);
    }
    switch (actions_->Run(name, body.object())) {
        case WebActions::Outcome::kQueued:
            return QHttpServerResponse(Status::NoContent);
        case WebActions::Outcome::kUnknown:
            return Problem(Status::NotFound, "no such action");
        case WebActions::Outcome::kBadBody:
            return Problem(Status::BadRequest, "bad body");
    }
    return QHttpServerResponse(Status::InternalServerError);
}

}  // namespace zarivok
