#pragma once

#include <QByteArray>
#include <QDir>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <QTime>
#include <memory>

#include "bot/Bot.h"
#include "support/RecordingPane.h"
#include "support/RecordingTexts.h"

namespace zarivok::testing {

// A bot in a temporary profile folder, with a recording pane and window texts, a fixed clock
// (so every time stamp reads "[9:05:03 PM] ") and a quit that is counted instead of ending the
// test program.
class BotHarness {
  public:
    static constexpr char kStamp[] = "[9:05:03 PM] ";

    enum class DayLogging { On, Off };

    // folder: a profile folder to share (replays that read no file); by default a new one.
    // Tests that make the whole folder unwritable leave the day log off: its own red line is
    // not theirs to count.
    explicit BotHarness(const QString& folder = {}, DayLogging logging = DayLogging::On);
    ~BotHarness();

    Bot& bot() { return *bot_; }
    RecordingPane pane;
    RecordingTexts texts;
    int quitCount = 0;

    QString Path(const QString& name) const { return QDir(folder_).filePath(name); }
    const QString& Folder() const { return folder_; }
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;

    // Config.ini with a working set of values (account bot1/botpass, home Lobby, trigger "!",
    // notices on, auto-clear off); overrides replace or add keys ("Options/Trigger" = "."), and a
    // key set to a null QString is left out.
    void WriteConfig(quint16 port, const QMap<QString, QString>& overrides = {}) const;

    void Feed(const QByteArray& bytes) { bot_->ProcessReceivedData(bytes); }
    // Connects from the menu to what Config.ini names and waits until the bot is in the home
    // channel "Lobby" (a logging-in gateway puts it there).
    bool LogIn();
    // The roster as text: one "name icon" line per entry, " yellow" after a highlighted one.
    QString RosterDump() const;

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder_;
    std::unique_ptr<Bot> bot_;
};

}  // namespace zarivok::testing
