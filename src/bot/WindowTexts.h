#pragma once

#include <QString>

namespace zarivok {

// The texts around the chat pane that the core keeps up to date: the window caption, the count
// box above the user list, the user list's column header and the three status-bar panels.
class WindowTexts {
  public:
    virtual ~WindowTexts() = default;

    virtual void SetCaption(const QString& text) = 0;
    virtual void SetUserCount(const QString& text) = 0;
    virtual void SetColumnHeader(const QString& text) = 0;
    // panel is 1 (connection state), 2 (user and channel) or 3 (computer uptime).
    virtual void SetStatusPanel(int panel, const QString& text) = 0;
};

}  // namespace zarivok
