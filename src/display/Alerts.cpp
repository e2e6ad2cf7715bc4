#include "display/Alerts.h"

#include <QMetaMethod>

#include "display/OptionToggles.h"

namespace zarivok {
namespace {

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

}  // namespace

bool NamesWholeWord(QStringView text, QStringView name) {
    if (name.isEmpty()) return false;
    for (qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        // A name that starts or ends with a sign ("[xX]") has its own edge there.
        const bool startsWord =
            at == 0 || !IsWordCharacter(text[at - 1]) || !IsWordCharacter(name.front());
        const bool endsWord =
            end == text.size() || !IsWordCharacter(text[end]) || !IsWordCharacter(name.back());
        if (startsWord && endsWord) return true;
    }
    return false;
}

Alerts::Alerts(const QString& ownName, ChatOutput& output)
    : ownName_(ownName), output_(output), caption_(QLatin1String(kAlertsOffCaption)) {}

bool Alerts::On() const { return caption_ == QLatin1String(kAlertsOffCaption); }

void Alerts::Click() { caption_ = ToggleAlerts(output_, caption_); }

void Alerts::Hear(const ChannelEvent& event) {
    switch (event.kind) {
        case EventKind::kWhisperFrom:
            if (On()) Q_EMIT Alert(event.user.toString(), event.text.toString());
            return;
        case EventKind::kTalk:
        case EventKind::kEmote:
            AlertIfNamed(event.user, event.text);
            return;
        default:
            return;
    }
}

void Alerts::AlertIfNamed(QStringView speaker, QStringView text) {
    // Nobody listening (the headless bot): a flood pays nothing for the search.
    static const QMetaMethod alert = QMetaMethod::fromSignal(&Alerts::Alert);
    if (!On() || ownName_.isEmpty() || !isSignalConnected(alert)) return;
    if (speaker.compare(ownName_, Qt::CaseInsensitive) == 0) return;
    if (NamesWholeWord(text, ownName_)) Q_EMIT Alert(speaker.toString(), text.toString());
}

}  // namespace zarivok
