// The download progress window of the update check.
#pragma once

#include <QProgressBar>
#include <QWidget>

// Shown once the user accepts an update; its bar follows every received chunk.
class TFormUpdateProgress : public QWidget {
    Q_OBJECT

public:
    explicit TFormUpdateProgress(QWidget* owner);

    QProgressBar* ProgressBar;

protected:
    bool event(QEvent* event) override;
};
