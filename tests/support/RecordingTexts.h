#pragma once

#include <QString>
#include <QStringList>

#include "bot/WindowTexts.h"

namespace zarivok::testing {

// Window texts as a list of changes, in order: "caption: ...", "users: ...", "header: ...",
// "status1: ...".
class RecordingTexts : public WindowTexts {
  public:
    void SetCaption(const QString& text) override { changes_.append("caption: " + text); }
    void SetUserCount(const QString& text) override { changes_.append("users: " + text); }
    void SetColumnHeader(const QString& text) override { changes_.append("header: " + text); }
    void SetStatusPanel(int panel, const QString& text) override {
        changes_.append(QStringLiteral("status%1: ").arg(panel) + text);
    }

    const QStringList& Changes() const { return changes_; }
    void Clear() { changes_.clear(); }

  private:
    QStringList changes_;
};

}  // namespace zarivok::testing
