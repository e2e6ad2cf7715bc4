// Any Config.ini must read without a crash, and every value must respect the reader's limits.
#include <QByteArray>

#include "settings/IniFile.h"

using namespace zarivok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const IniFile ini = IniFile::Parse(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    static const char* const kKeys[][2] = {
        {"Login", "User"},
        {"Login", "Pass"},
        {"Login", "Server"},
        {"Login", "Home"},
        {"Options", "Trigger"},
        {"Options", "Reconnect"},
        {"Options", "IdleMsg"},
        {"Options", "Enable AutoClear"},
        {"Options", "AutoClear At Line"},
        {"Options", "Enable Notifications"},
    };
    for (const auto& key : kKeys) {
        const QString value = ini.Value(QString::fromLatin1(key[0]), QString::fromLatin1(key[1]));
        if (value.toUcs4().size() > IniFile::kMaxValueLength) __builtin_trap();
    }
    return 0;
}
