// The message box whose button captions follow the language, and its caption table.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The eleven button kinds, in the order of their caption table.
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    MsgDlgBtnCount
};
using TMsgDlgButtons = std::uint16_t;
constexpr TMsgDlgButtons Btn(TMsgDlgBtn b) {
    return static_cast<TMsgDlgButtons>(1u << b);
}

// What the box returns: the result of the button pressed, mrNone when it was closed otherwise.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrHelp = 11,
};

// One caption of the table: the language file key and the caption shown.
struct TButtonCaption {
    const char* Key;
    QString Caption;
};
// Captions of the eleven buttons, indexed by TMsgDlgBtn.
extern TButtonCaption ButtonCaptions[MsgDlgBtnCount];
// Object names of the buttons in the box, indexed by TMsgDlgBtn.
extern const char* const ButtonNames[MsgDlgBtnCount];
// Refreshes the button captions from the language manager, the standard caption for a button the
// language does not name.
void TranslateDialogTexts();
// The standard caption of a button kind.
QString StandardButtonCaption(TMsgDlgBtn button);

// A box about to be shown; handed to MessageDlgHandler when one is set.
struct TMessageDlgRequest {
    QString Caption;
    QString Text;
    TMsgDlgType Kind = mtInformation;
    TMsgDlgButtons Buttons = 0;
};
// When set, boxes are not shown: the handler answers them (automated runs and tests).
extern std::function<int(const TMessageDlgRequest&)> MessageDlgHandler;

// The box TranslatedMessageDlg shows, built but not shown: translated button captions named as
// in ButtonNames, the text label named "message", at least 300 pixels wide, centred on the
// screen unless x or y is given.
std::unique_ptr<QMessageBox> CreateTranslatedMessageBox(const QString& caption, const QString& text,
                                                        TMsgDlgType kind, TMsgDlgButtons buttons,
                                                        int x = -1, int y = -1);

// The platform's own message box with its OK button, titled with the application's title (the
// update check's messages); answered by MessageDlgHandler when one is set.
void PlainMessageBox(TMsgDlgType kind, const QString& text);

// Shows a modal message box and returns the TModalResult of the button pressed. An empty caption
// gives the application's title; x and y place the box when not negative.
int TranslatedMessageDlg(const QString& caption, const QString& text, TMsgDlgType kind,
                         TMsgDlgButtons buttons, int x = -1, int y = -1, int helpContext = 0,
                         const QString& helpFile = QString());
