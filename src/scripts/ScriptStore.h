#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QTimer>
#include <optional>

namespace zarivok {

// What one script keeps between runs: a JSON object in script-data/NAME.json, read when the
// script loads and written within a second of a change and when the script unloads (at exit
// too). The file is its owner's alone, and replaced in one step, so a crash leaves the old
// content or the new one.
class ScriptStore {
  public:
    // A store whose text would grow beyond this refuses the change.
    static constexpr qsizetype kMaxBytes = 1024 * 1024;
    static constexpr int kSaveDelayMs = 1000;

    // report: says a problem reading or writing the file (one line naming it and the reason).
    ScriptStore(QString folder, const QString& scriptName,
                std::function<void(const QString&)> report);
    ~ScriptStore();
    ScriptStore(const ScriptStore&) = delete;
    ScriptStore& operator=(const ScriptStore&) = delete;

    std::optional<QJsonValue> Get(const QString& key) const;
    // False, with nothing changed, when the store would grow beyond kMaxBytes.
    bool Set(const QString& key, const QJsonValue& value);
    void Remove(const QString& key);
    // Writes now what changed.
    void Save();

    const QString& Path() const { return path_; }

  private:
    void Changed();

    QString folder_;
    QString path_;
    std::function<void(const QString&)> report_;
    QJsonObject values_;
    bool unsaved_ = false;
    QTimer saveTimer_;
};

}  // namespace zarivok
