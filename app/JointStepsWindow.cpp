// The solution by joints page: a text browser with the steps and two buttons that save it.
#include "JointStepsWindow.h"

#include "FileDialogs.h"
#include "JointSteps.h"
#include "JointStepsText.h"
#include "plsDialogs.h"
#include "plsLangConsts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr int DesignWidth = 640;
constexpr int DesignHeight = 720;

} // namespace

TFormJointSteps::TFormJointSteps(QWidget* owner)
    : QWidget(owner, Qt::Window), Browser(new QTextBrowser(this)),
      btSaveHtml(new QPushButton(str_UlozitHtml, this)),
      btSavePdf(new QPushButton(str_UlozitPdf, this)) {
    setObjectName(QStringLiteral("FormJointSteps"));
    resize(DesignWidth, DesignHeight);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenLinks(false);
    btSaveHtml->setObjectName(QStringLiteral("btSaveHtml"));
    btSavePdf->setObjectName(QStringLiteral("btSavePdf"));
    connect(btSaveHtml, &QPushButton::clicked, this, [this] { AskAndSave(false); });
    connect(btSavePdf, &QPushButton::clicked, this, [this] { AskAndSave(true); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btSaveHtml);
    buttons->addWidget(btSavePdf);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addLayout(buttons);
}

void TFormJointSteps::ShowSteps(const TPrutovaSoustava& truss, const TAnalysis& analysis) {
    html = JointStepsHtml(SolveByJoints(truss, &analysis));
    Browser->setHtml(html);
    const QString name =
        truss.FileName.isEmpty() ? str_BezNazvu : QFileInfo(truss.FileName).fileName();
    setWindowTitle(str_KrokyNadpis + QStringLiteral(" - ") + name);
    const QFileInfo file(truss.FileName);
    baseName =
        truss.FileName.isEmpty() ? str_BezNazvu : file.dir().filePath(file.completeBaseName());
}

bool TFormJointSteps::SaveHtml(const QString& fileName) {
    QFile file(fileName);
    const QByteArray bytes = html.toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
        return true;
    TranslatedMessageDlg(msg_Chyba, FormatConst(msg_NelzeUlozit, fileName), mtError, Btn(mbOK));
    return false;
}

bool TFormJointSteps::SavePdf(const QString& fileName) {
    {
        QFile probe(fileName);
        if (!probe.open(QIODevice::WriteOnly)) {
            TranslatedMessageDlg(msg_Chyba, FormatConst(msg_NelzeUlozit, fileName), mtError,
                                 Btn(mbOK));
            return false;
        }
    }
    QPdfWriter pdf(fileName);
    pdf.setTitle(windowTitle());
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    // The page's own document: its images and fonts as the browser shows them.
    Browser->document()->print(&pdf);
    return true;
}

void TFormJointSteps::AskAndSave(bool pdf) {
    TFileDialogRequest request;
    request.Save = true;
    request.Caption = (pdf ? btSavePdf : btSaveHtml)->text().remove(u'&');
    request.Filter = pdf ? str_FiltrPdf : str_FiltrHtml;
    request.DefaultSuffix = pdf ? QStringLiteral("pdf") : QStringLiteral("html");
    request.InitialName = baseName + u'.' + request.DefaultSuffix;
    const QString name = AskFileName(this, request);
    if (name.isEmpty())
        return;
    if (pdf)
        SavePdf(name);
    else
        SaveHtml(name);
}
