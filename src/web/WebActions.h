#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <optional>

#include "bot/NameCompleter.h"

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

    // Tab in the page's input line, answered at once (it never pauses): {"text", "cursor"}, or
    // nothing when there is nothing to complete and the focus should move on.
    std::optional<QJsonObject> Complete(const QJsonObject& body);

  private:
    void Later(std::function<void()> action);

    Bot& bot_;
    // One for the console: a Tab repeated on the result of the last one goes on to the next
    // match, whichever browser sent it.
    NameCompleter completer_;
};

}  // namespace zarivok
