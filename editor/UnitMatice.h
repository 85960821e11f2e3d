// The matrix window: the equation system of the truss window refreshed last.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

class TFormMatrix : public QWidget {
    Q_OBJECT

public:
    explicit TFormMatrix(QWidget* owner);
    ~TFormMatrix() override;

    // Replaces the listing by the given lines.
    void ShowListing(const QStringList& lines);
    // Writes the window's placement to the options INI file.
    void SavePlacement();

    QPlainTextEdit* Memo1;

protected:
    bool event(QEvent* event) override;

private:
    bool placementSaved = false;
};
