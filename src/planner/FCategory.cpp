#include "planner/FCategory.h"

#include "planner/FEntryCheck.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogFocus.h"
#include "toolkit/DialogFrame.h"
#include "toolkit/EnterKey.h"
#include "ui_FCategory.h"
#include "util/CodePage.h"

TfrmCategory::TfrmCategory(TMessageBox &msg, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmCategory>()), m_msg(msg)
{
    ui->setupUi(this);
    SetFixedDialogFrame(*this);
    ClickButtonsOnEnter(*this);
    AcceptOnEnter(*this, *ui->btnOk);
    FocusFirstFieldOnOpen(*this);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmCategory::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmCategory::~TfrmCategory() = default;

QByteArray TfrmCategory::name() const
{
    return AnsiOf(ui->edtName->text());
}

void TfrmCategory::setName(const QByteArray &name)
{
    ui->edtName->setText(FromAnsi(name));
}

void TfrmCategory::btnOkClick()
{
    // "^" separates a project's fields in Projects.dat, whose records name their category.
    if (CheckEntry(m_msg, ui->edtName, QStringLiteral("A valid category name is required!"),
                   {{ui->edtName, ui->edtName->text(), QStringLiteral("a category name"), true, false}}))
        accept();
}
