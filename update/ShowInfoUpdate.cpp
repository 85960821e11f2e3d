// The information window: the page's address in a text browser instead of an embedded browser.
#include "ShowInfoUpdate.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

Tfrm_ShowInfoUpdate::Tfrm_ShowInfoUpdate(QWidget* parent)
    : QDialog(parent), WebBrowser(new QTextBrowser(this)), Panel_Bottom(new QWidget(this)),
      chk_FutureUpdate(new QCheckBox(Panel_Bottom)), btn_OK(new QPushButton(Panel_Bottom)),
      btn_Cancel(new QPushButton(Panel_Bottom)) {
    setObjectName(QStringLiteral("frm_ShowInfoUpdate"));
    setWindowTitle(QString::fromLatin1(kInfoWindowCaption));
    resize(kInfoWindowWidth, kInfoWindowHeight);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    WebBrowser->setOpenExternalLinks(true);
    Panel_Bottom->setObjectName(QStringLiteral("Panel_Bottom"));
    Panel_Bottom->setFixedHeight(kInfoBottomPanelHeight);
    chk_FutureUpdate->setObjectName(QStringLiteral("chk_FutureUpdate"));
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));
    btn_OK->setDefault(true);
    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout(Panel_Bottom);
    row->addWidget(chk_FutureUpdate);
    row->addStretch(1);
    row->addWidget(btn_OK);
    row->addSpacing(kInfoButtonGap);
    row->addWidget(btn_Cancel);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser, 1);
    layout->addWidget(Panel_Bottom);
}

void Tfrm_ShowInfoUpdate::Prepare(const TmxInfoWindowData& data) {
    btn_OK->setText(data.OkCaption);
    btn_Cancel->setText(data.CancelCaption);
    chk_FutureUpdate->setText(data.CheckForUpdateCaption);
    chk_FutureUpdate->setChecked(data.CheckForUpdate);
    const QString url = data.URL.toHtmlEscaped();
    WebBrowser->setHtml(QStringLiteral("<p><a href=\"%1\">%1</a></p>").arg(url));
}

bool Tfrm_ShowInfoUpdate::ShowModal(TmxInfoWindowData& data) {
    Prepare(data);
    const bool ok = exec() == QDialog::Accepted;
    data.CheckForUpdate = chk_FutureUpdate->isChecked();
    return ok;
}
