#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include "connection/ChatSocket.h"

namespace zarivok {

class ChatOutput;
class ConnectionPort;
struct Settings;

// Opens the connection to the chat server, logs in, hands what arrives to the receive side,
// shows the connection state and reconnects by itself after a drop.
class Connection : public QObject {
    Q_OBJECT
  public:
    static constexpr quint16 kDefaultPort = 6112;
    // The reconnect timer's interval before the first connect sets it from the settings.
    static constexpr int kInitialReconnectMs = 80;

    // settings: the values a connect loads (through the port) and logs in with.
    Connection(ConnectionPort& port, ChatOutput& output, const Settings& settings);

    ChatSocket& Socket() { return socket_; }
    const QTimer& Recon() const { return recon_; }
    bool ReconEnabled() const { return reconEnabled_; }

    // Loads the settings, shows them, and starts connecting to the configured server. port is
    // used when the "Server" setting names none.
    void ConnectToServer(quint16 port = kDefaultPort);
    void CloseConnection();

    // The Bot menu: its Connect item's caption is the memory of what the operator asked for.
    const QString& ConnectCaption() const { return connectCaption_; }
    void ConnectMenuClick();
    void ReconnectMenuClick();
    void ExitMenuClick();

    // The connection that a reply belongs to: the one whose data is being handled, else the one
    // open now; 0 when none is open. A handler that lets events run may outlive its connection,
    // and what it says then must not reach, or open, another one.
    quint64 ReplyLink() const;
    bool IsLinkOpen(quint64 link) const {
        return socket_.IsConnected() && socket_.Generation() == link;
    }

    // The program is ending: the connection closes and nothing opens one again.
    void Shutdown();
    bool IsEnding() const { return ending_; }

    // Timer and socket events, public so that tests can drive a tick without waiting for it.
    void recon_Timer();

  Q_SIGNALS:
    // The text of the connection state (the status bar's first panel) changed.
    void StateChanged(const QString& text);
    void ConnectCaptionChanged();
    // The connection is open and the login handshake has gone out.
    void Opened();
    // A connection that had opened ended: the peer closed it, it failed, or it was closed or
    // replaced here.
    void Ended();

  private:
    void Winsock_Connect();
    void Winsock_DataArrival();
    void Winsock_Close();
    void Winsock_Error(int number, const QString& description);

    void SetReconEnabled(bool enabled);
    void SetReconInterval(int ms);
    // Every path that opens or drops the socket forgets the old connection's unfinished line and
    // its queued lines, so nothing of an old connection reaches a new one.
    void OpenSocket();
    void ShutSocket();
    void SetState(const char* text);

    ConnectionPort& port_;
    ChatOutput& output_;
    const Settings& settings_;
    ChatSocket socket_;
    QTimer recon_;
    bool reconEnabled_ = false;
    bool ending_ = false;
    // The open connection has said Opened, and not yet Ended.
    bool opened_ = false;
    quint64 receivingGeneration_ = 0;
    QString connectCaption_;
};

}  // namespace zarivok
