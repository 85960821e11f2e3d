// How soon hints come up and how long they stay, for every window of the program.
#pragma once

#include <QObject>

// A hint comes up 100 ms after the mouse stops on a control and stays up 5000 ms, whatever its
// length (Qt's own time grows with the text).
constexpr int HintPause = 100;
constexpr int HintHidePause = 5000;

// Gives each widget the display time HintHidePause the moment it receives a hint, whether from
// the program or from a language file. Installed on the application by the frame window.
class THintTiming : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
