// The information window of an update: the page, OK, Cancel and the box for future checks.
#pragma once

#include "mxWebUpdateInfo.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTextBrowser>

class Tfrm_ShowInfoUpdate : public QDialog, public TmxInfoWindow {
    Q_OBJECT

public:
    explicit Tfrm_ShowInfoUpdate(QWidget* parent = nullptr);
    // Takes captions, check box and page from data, shows the window modally and gives back the
    // check box; true when closed with OK.
    bool ShowModal(TmxInfoWindowData& data) override;
    // Fills the window from data without showing it.
    void Prepare(const TmxInfoWindowData& data);

    QTextBrowser* WebBrowser;
    QWidget* Panel_Bottom;
    QCheckBox* chk_FutureUpdate;
    QPushButton* btn_OK;
    QPushButton* btn_Cancel;
};
