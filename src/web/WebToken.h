#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zarivok {

// The web console's token, kept in the profile's web-token file: made at first use from 32
// random bytes (base64url, 43 characters) in a file that only its owner may read. Whoever holds
// it may steer the bot, so it is never shown, logged or put in a URL; the operator reads it from
// the file.
struct WebTokenFile {
    QByteArray token;
    // Empty token: why there is none (the console stays off). One line each for the chat pane.
    QString problem;
    // Yellow lines: the file was made now, or others may read it.
    QStringList notes;
};

// The first line of the file, without blanks around it. A missing or empty file gets a new
// token; a file that cannot be read is left as it is.
WebTokenFile LoadWebToken(const QString& path);

QByteArray NewRandomToken();

}  // namespace zarivok
