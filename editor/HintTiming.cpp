// The display time of every widget's hint.
#include "HintTiming.h"

#include <QEvent>
#include <QWidget>

bool THintTiming::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTipChange && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->toolTipDuration() != HintHidePause)
            widget->setToolTipDuration(HintHidePause);
    }
    return QObject::eventFilter(watched, event);
}
