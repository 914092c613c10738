#include "planner/FNewProject.h"

#include "planner/FEntryCheck.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogFocus.h"
#include "toolkit/DialogFrame.h"
#include "toolkit/EnterKey.h"
#include "ui_FNewProject.h"
#include "util/CodePage.h"

TfrmCreateProject::TfrmCreateProject(const QList<QByteArray> &categories, TMessageBox &msg,
                                     QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmCreateProject>()), m_msg(msg)
{
    ui->setupUi(this);
    SetFixedDialogFrame(*this);
    ClickButtonsOnEnter(*this);
    AcceptOnEnter(*this, *ui->btnOk);
    FocusFirstFieldOnOpen(*this);
    ui->edtEndDate->setStartDateField(ui->edtStartDate);
    // Each entry keeps its bytes, so that category() hands back exactly the stored name.
    for (const QByteArray &category : categories)
        ui->cbxCategories->addItem(FromAnsi(category), category);
    if (!categories.isEmpty())
        ui->cbxCategories->setCurrentIndex(0);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmCreateProject::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmCreateProject::~TfrmCreateProject() = default;

void TfrmCreateProject::SelectCategory(const QByteArray &name)
{
    if (name.isEmpty())
        return;
    for (int i = 0; i < ui->cbxCategories->count(); ++i) {
        if (SameTextIgnoringCase(ui->cbxCategories->itemData(i).toByteArray(), name)) {
            ui->cbxCategories->setCurrentIndex(i);
            return;
        }
    }
}

QByteArray TfrmCreateProject::name() const
{
    return AnsiOf(ui->edtName->text());
}

void TfrmCreateProject::setName(const QByteArray &name)
{
    ui->edtName->setText(FromAnsi(name));
}

QByteArray TfrmCreateProject::category() const
{
    const int index = ui->cbxCategories->currentIndex();
    return index < 0 ? QByteArray() : ui->cbxCategories->itemData(index).toByteArray();
}

QByteArray TfrmCreateProject::startDate() const
{
    return AnsiOf(ui->edtStartDate->text());
}

void TfrmCreateProject::setStartDate(const QByteArray &date)
{
    ui->edtStartDate->setText(FromAnsi(date));
}

QByteArray TfrmCreateProject::endDate() const
{
    return AnsiOf(ui->edtEndDate->text());
}

void TfrmCreateProject::setEndDate(const QByteArray &date)
{
    ui->edtEndDate->setText(FromAnsi(date));
}

bool TfrmCreateProject::useDefault() const
{
    return ui->chkDefault->isChecked();
}

void TfrmCreateProject::btnOkClick()
{
    // The project's header line in Projects.dat is split at every "^".
    if (CheckEntry(m_msg, ui->edtName, QStringLiteral("A valid project name is required!"),
                   {{ui->edtName, ui->edtName->text(), QStringLiteral("a project name"), true, false},
                    {ui->edtStartDate, ui->edtStartDate->text(), QStringLiteral("a date"), true, false},
                    {ui->edtEndDate, ui->edtEndDate->text(), QStringLiteral("a date"), true, false}}))
        accept();
}
