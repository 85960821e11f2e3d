// The solution by joints of a truss as a page, with its exports to HTML and PDF.
#pragma once

#include <QPushButton>
#include <QTextBrowser>
#include <QWidget>

class TPrutovaSoustava;
struct TAnalysis;

class TFormJointSteps : public QWidget {
    Q_OBJECT

public:
    explicit TFormJointSteps(QWidget* owner);

    // Solves the truss by joints (with the analysis's stiffness values and mechanism) and shows
    // the page; the title names the truss.
    void ShowSteps(const TPrutovaSoustava& truss, const TAnalysis& analysis);
    // The page as an .html file, or printed to an A4 PDF file; false with a box when the file
    // cannot be written.
    bool SaveHtml(const QString& fileName);
    bool SavePdf(const QString& fileName);

    QTextBrowser* Browser;
    QPushButton* btSaveHtml;
    QPushButton* btSavePdf;

private:
    void AskAndSave(bool pdf);

    QString html;
    QString baseName; // the truss file's path without its suffix, for the suggested names
};
