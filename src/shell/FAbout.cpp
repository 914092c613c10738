#include "shell/FAbout.h"

#include "toolkit/DialogFrame.h"
#include "ui_FAbout.h"
#include "util/AppVersion.h"
#include "util/BrandingSettings.h"
#include "util/CodePage.h"

namespace {

// The settings file's text has CR LF line ends; the text area wants LF.
QString Lines(const QByteArray &text)
{
    QByteArray lines = text;
    lines.replace("\r\n", "\n").replace('\r', '\n');
    return FromAnsi(lines);
}

} // namespace

TfrmAbout::TfrmAbout(const TBrandingSettings &settings, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmAbout>())
{
    ui->setupUi(this);
    SetFixedDialogFrame(*this);
    connect(ui->editAbout, &QPushButton::clicked, this, &TfrmAbout::editAboutClick);
    FormCreate(settings);
}

TfrmAbout::~TfrmAbout() = default;

void TfrmAbout::FormCreate(const TBrandingSettings &settings)
{
    const QString name = FromAnsi(settings.ApplicationName);
    setWindowTitle(QStringLiteral("About ") + name + QStringLiteral("..."));
    ui->lblProductName->setText(name);
    ui->lblProductVersion->setText(QStringLiteral("Product Version: ") + FromAnsi(AppVersion));
    ui->lblCopyright1->setText(QStringLiteral("Copyright (c) ") +
                               FromAnsi(settings.CopyrightYears) + QLatin1Char(' ') +
                               FromAnsi(settings.CopyrightCompany));
    ui->memAbout->setPlainText(Lines(settings.AboutText));
}

void TfrmAbout::editAboutClick()
{
    accept();
}
