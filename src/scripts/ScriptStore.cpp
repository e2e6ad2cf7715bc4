#include "scripts/ScriptStore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

#include "base/ListFile.h"
#include "base/ReplaceFile.h"

namespace zarivok {
namespace {

QByteArray Compose(const QJsonObject& values) {
    return QJsonDocument(values).toJson(QJsonDocument::Compact);
}

// "quotes.js" keeps "quotes.json".
QString StoreFileName(const QString& scriptName) {
    QString name = scriptName;
    if (name.endsWith(QLatin1String(".js"))) name.chop(3);
    return name + QStringLiteral(".json");
}

}  // namespace

ScriptStore::ScriptStore(QString folder, const QString& scriptName,
                         std::function<void(const QString&)> report)
    : folder_(std::move(folder)),
      path_(QDir(folder_).filePath(StoreFileName(scriptName))),
      report_(std::move(report)) {
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kSaveDelayMs);
    QObject::connect(&saveTimer_, &QTimer::timeout, [this] { Save(); });
    const FileBytes read = ReadFileBytes(path_);
    if (read.problem) {
        report_(*read.problem);
        return;
    }
    if (read.bytes.isEmpty()) return;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(read.bytes, &error);
    if (!document.isObject()) {
        report_(QStringLiteral("Could not read %1: %2").arg(path_, error.errorString()));
        return;
    }
    values_ = document.object();
}

ScriptStore::~ScriptStore() { Save(); }

std::optional<QJsonValue> ScriptStore::Get(const QString& key) const {
    const auto found = values_.constFind(key);
    if (found == values_.constEnd()) return std::nullopt;
    return *found;
}

bool ScriptStore::Set(const QString& key, const QJsonValue& value) {
    QJsonObject changed = values_;
    changed.insert(key, value);
    if (Compose(changed).size() > kMaxBytes) return false;
    values_ = std::move(changed);
    Changed();
    return true;
}

void ScriptStore::Remove(const QString& key) {
    if (!values_.contains(key)) return;
    values_.remove(key);
    Changed();
}

void ScriptStore::Changed() {
    unsaved_ = true;
    if (!saveTimer_.isActive()) saveTimer_.start();
}

void ScriptStore::Save() {
    saveTimer_.stop();
    if (!unsaved_) return;
    unsaved_ = false;
    // The folder holds what scripts keep, perhaps more than a script's author would show.
    if (!QFileInfo(folder_).isDir() &&
        !QDir().mkdir(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        report_(SaveProblem(path_, QStringLiteral("the folder cannot be made")));
        return;
    }
    if (const auto problem = SaveFileBytes(path_, Compose(values_), kOwnerOnly)) {
        report_(*problem);
    }
}

}  // namespace zarivok
