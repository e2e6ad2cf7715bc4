#include "commands/UserDatabase.h"

#include <QFile>
#include <QSaveFile>
#include <utility>

#include "core/Texts.h"
#include "protocol/TextCodec.h"

namespace zarivok {

UserDatabase::UserDatabase(QString path) : path_(std::move(path)) {}

void UserDatabase::Load(const std::function<void()>& afterEachLine) {
    // A missing or unreadable file is an empty database, silently: a fresh installation has no
    // Users.txt until the first name is added, and then only the master name may command.
    QByteArray bytes;
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    file.close();

    const bool utf8 = ValidUtf8Prefix(bytes) == bytes.size();
    const QString text = utf8 ? QString::fromUtf8(bytes) : DecodeWindows1252(bytes);

    // Lines end at CR LF or a bare LF; a bare CR is part of the name, so it is written back.
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        const qsizetype next = end + 1;
        if (end > start && end < text.size() && text[end - 1] == u'\r') --end;
        lines.append(text.mid(start, end - start));
        start = next;
    }

    // The whole file is taken in before any event runs: a command run by afterEachLine then
    // finds the complete new list, and what it adds or removes (and saves at once) stays. Only
    // the number of lines is kept across the calls; nothing refers into the list, which such a
    // command may change or even replace with a nested Load.
    const qsizetype lineCount = lines.size();
    entries_ = std::move(lines);
    windows1252_ = !utf8;
    if (!afterEachLine) return;
    for (qsizetype i = 0; i < lineCount; ++i) afterEachLine();
}

std::optional<QString> UserDatabase::Save() const {
    QString text;
    for (const QString& entry : entries_) text += entry + QStringLiteral("\r\n");
    bool fits = false;
    QByteArray bytes;
    if (windows1252_) bytes = EncodeWindows1252(text, &fits);
    if (!fits) bytes = EncodeText(text);

    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
        if (file.commit()) return std::nullopt;
    }
    return QStringLiteral("Could not save %1: %2").arg(path_, file.errorString().simplified());
}

bool UserDatabase::IsAuthorizedUser(const QString& name) const {
    return name == QLatin1String(kMasterName) || Find(name) >= 0;
}

qsizetype UserDatabase::Find(const QString& name) const {
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

void UserDatabase::RemoveUserAt(qsizetype index) {
    if (index >= 0 && index < entries_.size()) entries_.removeAt(index);
}

}  // namespace zarivok
