// Message boxes that report a failure after the work that met it has finished.
#include "PostedMessageDlg.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <deque>
#include <optional>

namespace {

std::deque<TMessageDlgRequest> Pending;
std::optional<TMessageDlgRequest> OnScreen;
bool Scheduled = false;

bool SameBox(const TMessageDlgRequest& a, const TMessageDlgRequest& b) {
    return a.Caption == b.Caption && a.Text == b.Text && a.Kind == b.Kind;
}

void ShowPending() {
    Scheduled = false;
    // A box shown already runs this loop; the boxes queued meanwhile follow it.
    if (OnScreen)
        return;
    while (!Pending.empty()) {
        OnScreen = Pending.front();
        Pending.pop_front();
        const TMessageDlgRequest box = *OnScreen;
        try {
            TranslatedMessageDlg(box.Caption, box.Text, box.Kind, box.Buttons);
        } catch (...) {
            OnScreen.reset();
            throw;
        }
        OnScreen.reset();
    }
}

void Schedule() {
    QCoreApplication* app = QCoreApplication::instance();
    if (Scheduled || OnScreen || !app)
        return;
    Scheduled = true;
    QMetaObject::invokeMethod(app, &ShowPending, Qt::QueuedConnection);
}

} // namespace

void PostMessageDlg(const QString& caption, const QString& text, TMsgDlgType kind) {
    const TMessageDlgRequest box{caption, text, kind, Btn(mbOK)};
    if ((OnScreen && SameBox(*OnScreen, box)) ||
        std::any_of(Pending.begin(), Pending.end(),
                    [&](const TMessageDlgRequest& p) { return SameBox(p, box); }))
        return;
    Pending.push_back(box);
    Schedule();
}
