// Message boxes that report a failure after the work that met it has finished.
#pragma once

#include "plsDialogs.h"

#include <QString>

// Queues a translated box with one OK button. The boxes are shown from the event loop, one after
// another and never one inside another, so that a refresh, a paint or a resize that fails never
// waits on the user and a box's own event loop cannot stack more boxes on it. A box of the same
// caption, text and kind as one already waiting or on the screen is not queued again.
void PostMessageDlg(const QString& caption, const QString& text, TMsgDlgType kind);
