#include "planner/FHour.h"

#include "planner/FEntryCheck.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogFocus.h"
#include "toolkit/DialogFrame.h"
#include "toolkit/EnterKey.h"
#include "ui_FHour.h"
#include "util/CodePage.h"

TfrmHour::TfrmHour(TMessageBox &msg, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmHour>()), m_msg(msg)
{
    ui->setupUi(this);
    SetFixedDialogFrame(*this);
    ClickButtonsOnEnter(*this);
    AcceptOnEnter(*this, *ui->btnOk);
    FocusFirstFieldOnOpen(*this);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmHour::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmHour::~TfrmHour() = default;

void TfrmHour::setDay(const QByteArray &day)
{
    ui->lblDay->setText(QStringLiteral("Day: ") + FromAnsi(day));
}

void TfrmHour::setHour(const QByteArray &hour)
{
    ui->lblHour->setText(QStringLiteral("Hour: ") + FromAnsi(hour));
}

QByteArray TfrmHour::name() const
{
    return AnsiOf(ui->edtName->text());
}

void TfrmHour::setName(const QByteArray &action)
{
    ui->edtName->setText(FromAnsi(action));
}

void TfrmHour::btnOkClick()
{
    // "^" separates the fields of a record in Hours.dat.
    if (CheckEntry(m_msg, ui->edtName, QStringLiteral("A valid action is required!"),
                   {{ui->edtName, ui->edtName->text(), QStringLiteral("an action"), true, false}}))
        accept();
}
