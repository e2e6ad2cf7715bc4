#pragma once

#include <QList>

#include "display/ChatPane.h"

namespace zarivok {

// The chat pane as the core writes to it: the front end's own pane, and after it any number of
// listeners (the web console) that see the same runs, clears and arrivals. With no listener it
// adds one call per run.
class PaneFanout : public ChatPane {
  public:
    explicit PaneFanout(ChatPane& front) : front_(front) {}

    // A listener stays registered until removed; it must be removed before it is destroyed.
    void AddListener(ChatPane* listener) {
        if (listener && !listeners_.contains(listener)) listeners_.append(listener);
    }
    void RemoveListener(ChatPane* listener) { listeners_.removeAll(listener); }

    void AppendRun(const QString& text, ChatColour colour) override {
        front_.AppendRun(text, colour);
        ForEachListener([&](ChatPane& listener) { listener.AppendRun(text, colour); });
    }
    void AppendRuns(const QString& first, ChatColour firstColour, const QString& second,
                    ChatColour secondColour) override {
        front_.AppendRuns(first, firstColour, second, secondColour);
        ForEachListener([&](ChatPane& listener) {
            listener.AppendRuns(first, firstColour, second, secondColour);
        });
    }
    void ReplaceAll(const QString& text) override {
        front_.ReplaceAll(text);
        ForEachListener([&](ChatPane& listener) { listener.ReplaceAll(text); });
    }
    void Hold() override {
        front_.Hold();
        ForEachListener([](ChatPane& listener) { listener.Hold(); });
    }
    void Release() override {
        front_.Release();
        ForEachListener([](ChatPane& listener) { listener.Release(); });
    }

  private:
    // Calls each listener on a copy of the list, so that a listener added or removed by what a
    // call leads to never invalidates the loop, and skips one removed meanwhile.
    template <typename Call>
    void ForEachListener(Call call) {
        if (listeners_.isEmpty()) return;
        const QList<ChatPane*> listeners = listeners_;
        for (ChatPane* listener : listeners) {
            if (listeners_.contains(listener)) call(*listener);
        }
    }

    ChatPane& front_;
    QList<ChatPane*> listeners_;
};

}  // namespace zarivok
