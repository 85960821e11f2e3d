// The information window of the web update: what it is shown and gives back, its layout figures
// and the interface through which the component drives the owner's window.
#pragma once

#include <QString>

// What the information window shows and returns for one showing.
struct TmxInfoWindowData {
    QString URL;                   // page for its browser WebBrowser
    QString OkCaption;             // caption of btn_OK
    QString CancelCaption;         // caption of btn_Cancel
    QString CheckForUpdateCaption; // caption of chk_FutureUpdate
    bool CheckForUpdate = true; // in: the state chk_FutureUpdate starts in; out: its state at close
};

// The window Tfrm_ShowInfoUpdate as the update component sees it. The owner's window (a dialog,
// which the component itself never builds: the component depends on no window) implements it;
// the component creates it through TmxWebUpdate::InfoWindowFactory on first use, keeps it for
// later showings and destroys it with itself.
class TmxInfoWindow {
public:
    virtual ~TmxInfoWindow() = default;
    // Sets the captions, the check box and the browser's page from data, shows the window modally
    // and writes the check box's final state to data.CheckForUpdate. True when closed with OK.
    virtual bool ShowModal(TmxInfoWindowData& data) = 0;
};

// The fixed figures of Tfrm_ShowInfoUpdate, for the owner's window.
inline constexpr const char* kInfoWindowCaption = "mxWebUpdate";
inline constexpr int kInfoWindowWidth = 530;  // pixels, the window is centred on the screen
inline constexpr int kInfoWindowHeight = 453; // pixels
inline constexpr int kInfoWindowHelpContext = 1034;
inline constexpr int kInfoBottomPanelHeight = 41; // Panel_Bottom, holding the two buttons
inline constexpr int kInfoButtonGap = 3;          // pixels between btn_OK and btn_Cancel

// Left edges of btn_OK and btn_Cancel when Panel_Bottom is panelWidth wide: btn_OK at (panel width
// - both button widths - 6) / 2, rounded toward zero, and btn_Cancel kInfoButtonGap pixels right
// of btn_OK, so the pair stands in the middle of the panel.
struct TmxInfoButtonLefts {
    int Ok = 0;
    int Cancel = 0;
};
constexpr TmxInfoButtonLefts mxInfoButtonLefts(int panelWidth, int okWidth, int cancelWidth) {
    const int ok = (panelWidth - okWidth - cancelWidth - 6) / 2;
    return {ok, ok + okWidth + kInfoButtonGap};
}
