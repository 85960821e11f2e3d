// The progress window: one bar, hidden until the first chunk arrives.
#include "FUpdateProgress.h"

#include "plsTranslateForm.h"

namespace {
constexpr int WindowWidth = 340;
constexpr int WindowHeight = 80;
} // namespace

TFormUpdateProgress::TFormUpdateProgress(QWidget* owner)
    : QWidget(owner, Qt::Window), ProgressBar(new QProgressBar(this)) {
    setObjectName(QStringLiteral("FormUpdateProgress"));
    setWindowTitle(QStringLiteral("Update_progress"));
    resize(WindowWidth, WindowHeight);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(16, 17, 297, 16);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->setVisible(false);
    TranslateSelf(this);
}

bool TFormUpdateProgress::event(QEvent* event) {
    if (event->type() == TLanguageChangedEvent::EventType()) {
        TranslateSelf(this);
        return true;
    }
    return QWidget::event(event);
}
