#pragma once

#include <QString>

namespace zarivok {

// Texts that more than one place of the program shows or sends.
inline constexpr char kProgramName[] = "ZaRiVoK";
inline constexpr char kVersion[] = "v3.0b1";
// The account that may always command the bot; it is never stored in the user database.
inline constexpr char kMasterName[] = "QuEnDaR";

// Said whenever a new connection replaces a lost one.
inline constexpr char kReconnecting[] = "Reconnecting...";

// Every line the chat pane shows, and every line on the wire, ends with it.
inline const QString kCrLf = QStringLiteral("\r\n");

// "ZaRiVoK v3.0b1": the start of the window caption and of the server reply.
inline QString ProgramAndVersion() {
    return QLatin1String(kProgramName) + u' ' + QLatin1String(kVersion);
}

// "ZaRiVoK v3.0b1 by QuEnDaR.": how the about and anti-idle emotes sign.
inline QString Signature() {
    return ProgramAndVersion() + QStringLiteral(" by ") + QLatin1String(kMasterName) + u'.';
}

}  // namespace zarivok
