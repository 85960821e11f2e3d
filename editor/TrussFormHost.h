// What a truss window reads from and reports to the frame window that hosts it.
#pragma once

#include "DrawingTool.h"

#include <QString>

class TFormMatrix;

// The display options of the frame window, read at every refresh.
struct TTrussDisplayOptions {
    bool ShowPrutName = true;
    bool ShowPrutForce = false;
    bool ShowStycNo = false;
    bool ZobrazMatici = false;
    bool ShowSidePannel = false;
    bool ShowGrid = true;
    bool GridAsLine = true; // checked draws the grid as dots, unchecked as lines
    // A redundant truss that cannot move is solved by the stiffness method; else the joints.
    bool SolveByStiffness = false;
    // The deformed truss is drawn over it (the displacements are then found as well).
    bool ShowDeformed = false;
};

// Status bar panels written by truss windows.
enum TStatusPanel {
    spDrag = 0,
    spCursor = 1,
    spDrawTime = 2,
    spCalcTime = 3,
    spMemory = 4,
    spZoom = 5, // the active window's zoom
};

class TTrussFormHost {
public:
    virtual ~TTrussFormHost() = default;

    virtual TDrawingTool CurrentTool() const = 0;
    // Grid step of the palette, 2 to 100.
    virtual double GridStep() const = 0;
    // Magnitude given to the next force placed.
    virtual double ForceValue() const = 0;
    virtual TTrussDisplayOptions DisplayOptions() const = 0;
    virtual void SetStatusText(TStatusPanel panel, const QString& text) = 0;
    // The shared matrix window; null while there is none.
    virtual TFormMatrix* MatrixWindow() const = 0;
    // A window stops showing a file: closed, or saved under another name.
    virtual void FileClosed(const QString& fileName) = 0;
};
