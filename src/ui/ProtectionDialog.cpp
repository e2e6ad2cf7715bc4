#include "ui/ProtectionDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "base/ChatColour.h"
#include "base/ListFile.h"
#include "base/Texts.h"
#include "bot/Bot.h"
#include "protection/ChannelGuard.h"
#include "settings/Settings.h"
#include "ui/DialogLook.h"
#include "ui/Twips.h"

namespace zarivok {
namespace {

constexpr QSize kClientArea(TwipsToPixels(10800), TwipsToPixels(7560));

constexpr QRect FrameBox(int left, int top, int right, int bottom) {
    return {TwipPoint(left, top), TwipPoint(right, bottom)};
}

constexpr ProtectionAction kActions[] = {ProtectionAction::kKick, ProtectionAction::kBan};

QStringList ActionTexts() {
    QStringList texts;
    for (const ProtectionAction action : kActions) texts.append(ActionText(action));
    return texts;
}

// Shows an action as the file holds it. A text that is neither choice becomes a choice of its
// own, so that a Save that leaves it alone writes it back as it stood; an empty one shows the
// action the bot takes for it.
void ShowAction(QComboBox* box, const QString& text, ProtectionAction applied) {
    while (box->count() > static_cast<int>(std::size(kActions))) box->removeItem(box->count() - 1);
    const QString shown = text.isEmpty() ? ActionText(applied) : text;
    int index = box->findText(shown);
    if (index < 0) {
        box->addItem(shown);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

}  // namespace

ProtectionDialog::ProtectionDialog(Bot& bot, QWidget* parent)
    : QWidget(parent, kFixedDialogFlags), bot_(bot) {
    const DialogLook look(this, QLatin1String(kProgramName) + QStringLiteral(" Protection"),
                          kClientArea);
    lineColour_ = look.Colours().inactiveCaptionText;
    const QStringList actions = ActionTexts();

    // In tab order; the labels take no focus.
    frames_[0] = {FrameBox(360, 360, 5640, 1800),
                  look.Label("lblGreeting", "Greeting", TwipRect(720, 240, 1215, 255))};
    chkGreet =
        look.CheckBox("chkGreet", "Greet each user who joins with:", TwipRect(480, 600, 3015, 255));
    txtGreetText = look.TextBox("txtGreetText", TwipRect(480, 960, 5040, 285));
    look.Label("lblGreetHint", "%user% stands for the user's name, %channel% for the channel.",
               TwipRect(480, 1320, 5040, 255));

    frames_[1] = {FrameBox(360, 2160, 5640, 3240),
                  look.Label("lblLockdown", "Lockdown", TwipRect(720, 2040, 1215, 255))};
    chkLockdown = look.CheckBox("chkLockdown", "Kick everyone who is not in the database",
                                TwipRect(480, 2400, 3615, 255));
    look.Label("lblLockdownReason", "Reason:", TwipRect(480, 2760, 735, 255));
    txtLockdownReason = look.TextBox("txtLockdownReason", TwipRect(1320, 2760, 4200, 285));

    frames_[2] = {FrameBox(360, 3600, 5640, 4680),
                  look.Label("lblPhrases", "Phrases", TwipRect(720, 3480, 1215, 255))};
    chkPhrases = look.CheckBox("chkPhrases", "Act on users who say a phrase of the list",
                               TwipRect(480, 3840, 3615, 255));
    look.Label("lblPhrasesAction", "Action:", TwipRect(480, 4200, 735, 255));
    cboPhrasesAction = look.ComboBox("cboPhrasesAction", actions, TwipRect(1320, 4185, 855, 315));
    look.Label("lblPhrasesReason", "Reason:", TwipRect(2400, 4200, 615, 255));
    txtPhrasesReason = look.TextBox("txtPhrasesReason", TwipRect(3120, 4200, 2400, 285));

    frames_[3] = {FrameBox(360, 5040, 5640, 6480),
                  look.Label("lblFlood", "Flood", TwipRect(720, 4920, 1215, 255))};
    chkFlood = look.CheckBox("chkFlood", "Act on users who flood the channel",
                             TwipRect(480, 5280, 3615, 255));
    look.Label("lblFloodMore", "More than", TwipRect(480, 5640, 735, 255));
    txtFloodLines = look.TextBox("txtFloodLines", TwipRect(1320, 5640, 615, 285));
    look.Label("lblFloodLines", "lines in", TwipRect(2040, 5640, 615, 255));
    txtFloodSeconds = look.TextBox("txtFloodSeconds", TwipRect(2700, 5640, 615, 285));
    look.Label("lblFloodSeconds", "seconds", TwipRect(3420, 5640, 855, 255));
    look.Label("lblFloodAction", "Action:", TwipRect(480, 6000, 735, 255));
    cboFloodAction = look.ComboBox("cboFloodAction", actions, TwipRect(1320, 5985, 855, 315));
    look.Label("lblFloodReason", "Reason:", TwipRect(2400, 6000, 615, 255));
    txtFloodReason = look.TextBox("txtFloodReason", TwipRect(3120, 6000, 2400, 285));

    frames_[4] = {FrameBox(6000, 360, 10440, 3600),
                  look.Label("lblBanList", "Ban list", TwipRect(6360, 240, 1215, 255))};
    look.Label("lblBanListHint",
               "One ban a line: a name pattern, then the reason.\n"
               "In a pattern * stands for any characters, ? for one.",
               TwipRect(6120, 600, 4200, 495));
    txtBanList = look.TextPane("txtBanList", TwipRect(6120, 1200, 4200, 2160));

    frames_[5] = {FrameBox(6000, 3960, 10440, 6480),
                  look.Label("lblPhraseList", "Phrase list", TwipRect(6360, 3840, 1215, 255))};
    look.Label("lblPhrasesHint", "One phrase a line; letter case does not matter.",
               TwipRect(6120, 4200, 4200, 255));
    txtPhrases = look.TextPane("txtPhrases", TwipRect(6120, 4560, 4200, 1680));

    cmdSave = look.Button("cmdSave", "Save", TwipRect(4365, 6840, 855, 375));
    cmdCancel = look.Button("cmdCancel", "Cancel", TwipRect(5565, 6840, 855, 375));

    QWidget* const tabOrder[] = {
        chkGreet,      txtGreetText,     chkLockdown,      txtLockdownReason,
        chkPhrases,    cboPhrasesAction, txtPhrasesReason, chkFlood,
        txtFloodLines, txtFloodSeconds,  cboFloodAction,   txtFloodReason,
        txtBanList,    txtPhrases,       cmdSave,          cmdCancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(cmdSave, &QPushButton::clicked, this, &ProtectionDialog::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ProtectionDialog::cmdCancel_Click);
}

void ProtectionDialog::ShowProtection() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    Form_Load();
    show();
    raise();
    activateWindow();
    chkGreet->setFocus();
}

void ProtectionDialog::Form_Load() {
    const ProtectionFiles files = bot_.Guard().ReadForEditing();
    const ProtectionTexts& texts = files.texts;
    const ProtectionSettings applied = ParseProtectionTexts(texts, QString()).settings;
    chkGreet->setChecked(SwitchIsOn(texts.greetEnabled));
    SetBoxText(txtGreetText, texts.greetText);
    chkLockdown->setChecked(SwitchIsOn(texts.lockdownEnabled));
    SetBoxText(txtLockdownReason, texts.lockdownReason);
    chkPhrases->setChecked(SwitchIsOn(texts.phrasesEnabled));
    ShowAction(cboPhrasesAction, texts.phrasesAction, applied.phrasesAction);
    SetBoxText(txtPhrasesReason, texts.phrasesReason);
    chkFlood->setChecked(SwitchIsOn(texts.floodEnabled));
    SetBoxText(txtFloodLines, texts.floodLines);
    SetBoxText(txtFloodSeconds, texts.floodSeconds);
    ShowAction(cboFloodAction, texts.floodAction, applied.floodAction);
    SetBoxText(txtFloodReason, texts.floodReason);
    txtBanList->setPlainText(JoinListLines(BanList::ToLines(files.bans)));
    txtPhrases->setPlainText(JoinListLines(files.phrases));
}

void ProtectionDialog::cmdSave_Click() {
    ProtectionTexts texts;
    texts.greetEnabled = SwitchText(chkGreet->isChecked());
    texts.greetText = txtGreetText->text();
    texts.lockdownEnabled = SwitchText(chkLockdown->isChecked());
    texts.lockdownReason = txtLockdownReason->text();
    texts.phrasesEnabled = SwitchText(chkPhrases->isChecked());
    texts.phrasesAction = cboPhrasesAction->currentText();
    texts.phrasesReason = txtPhrasesReason->text();
    texts.floodEnabled = SwitchText(chkFlood->isChecked());
    texts.floodLines = txtFloodLines->text();
    texts.floodSeconds = txtFloodSeconds->text();
    texts.floodAction = cboFloodAction->currentText();
    texts.floodReason = txtFloodReason->text();
    // The raw text, not toPlainText(): that turns no-break spaces into spaces, and the names
    // would change.
    if (bot_.Guard().Save(texts, txtBanList->document()->toRawText(),
                          txtPhrases->document()->toRawText())) {
        hide();
    }
}

void ProtectionDialog::cmdCancel_Click() { hide(); }

void ProtectionDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(lineColour_);
    for (const Frame& frame : frames_) DrawTitledFrame(painter, frame.box, frame.title);
}

}  // namespace zarivok
