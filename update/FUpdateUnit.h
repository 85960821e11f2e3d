// The question of the update check: the installed and the published version, "Ano" and "Ne".
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

// Ends with Yes for "Ano" and with Cancel for "Ne" and for closing the window.
class TFormUpdate : public QDialog {
    Q_OBJECT

public:
    explicit TFormUpdate(QWidget* owner);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* lbl_YourVersion;
    QLabel* lbl_WebVersion;
    QLabel* lbl_File;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    bool event(QEvent* event) override;

private:
    void FitLabels();
};
