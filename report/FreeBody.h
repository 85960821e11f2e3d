// Small free-body drawings of the joints of one step of the solution by joints.
#pragma once

#include "JointSteps.h"

#include <QImage>

// The joints of the step (all of them for the reactions of the whole truss) with the bars
// between them and the forces from outside: bar forces as arrows away from the joint (tension
// positive), reactions along +x and +y, loads along their direction. Unknowns in red with their
// names, known bar forces in blue and loads in purple with their values.
QImage FreeBodyImage(const TJointSteps& steps, const TJointStep& step);

// The picture as a PNG in a data URI, which QTextDocument (and so QTextBrowser and the PDF made
// from it) and every web browser show.
QString PngDataUri(const QImage& image);
