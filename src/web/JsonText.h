#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "base/ChatColour.h"

namespace zarivok {

// The live stream writes a JSON string for every run of a flood; doing it straight into the
// event's bytes costs a fraction of building QJsonValue objects first. Requests are read with
// QJsonDocument.

// text as a quoted JSON string in UTF-8. Lone surrogates become U+FFFD, so the output is
// always valid UTF-8 and valid JSON.
void AppendJsonString(QByteArray& out, QStringView text);
// "#rrggbb" for a chat colour (0x00BBGGRR), quoted.
void AppendCssColour(QByteArray& out, ChatColour colour);
// The same, unquoted.
QString CssColour(ChatColour colour);

}  // namespace zarivok
