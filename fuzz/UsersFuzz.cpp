// Any Users.txt must load; what is saved must load back as the same list.
#include <QFile>
#include <QTemporaryDir>

#include "commands/UserDatabase.h"

using namespace zarivok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Users.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    UserDatabase first(path);
    first.Load();
    if (first.Save()) return 0;
    UserDatabase second(path);
    second.Load();
    if (second.Entries() != first.Entries()) __builtin_trap();
    return 0;
}
