#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <optional>

namespace zarivok {

class Bot;

// What the web console's buttons and menus do: the same core operations as the window's, with
// the same texts in the pane. Actions run from the event loop after the request is answered,
// like the window's popup items: several of them pause, and a pause inside the web server's
// own request handling would let the next request of the same browser in half-way.
class WebActions : public QObject {
    Q_OBJECT
  public:
    explicit WebActions(Bot& bot, QObject* parent = nullptr);

    enum class Outcome { kQueued, kUnknown, kBadBody };
    Outcome Run(const QString& name, const QJsonObject& body);

    // The texts a dialog opens with; nothing for an unknown name.
    std::optional<QJsonObject> Query(const QString& name);

  private:
    void Later(std::function<void()> action);

    Bot& bot_;
};

}  // namespace zarivok
