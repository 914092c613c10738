#include "planner/FTask.h"

#include "planner/FEntryCheck.h"
#include "planner/PlannerText.h"
#include "toolkit/DialogFocus.h"
#include "toolkit/DialogFrame.h"
#include "toolkit/EnterKey.h"
#include "ui_FTask.h"
#include "util/CodePage.h"

#include <QTextDocument>

namespace {

// The editor's own text: paragraphs end in U+2029, Shift+Enter gives U+2028, and nothing
// else is altered (toPlainText() would turn no-break spaces into blanks).
QString RawText(const QPlainTextEdit &edit)
{
    return edit.document()->toRawText();
}

} // namespace

TfrmTask::TfrmTask(TMessageBox &msg, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmTask>()), m_msg(msg)
{
    ui->setupUi(this);
    SetFixedDialogFrame(*this);
    ClickButtonsOnEnter(*this);
    AcceptOnEnter(*this, *ui->btnOk);
    FocusFirstFieldOnOpen(*this);
    ui->edtEndDate->setStartDateField(ui->edtStartDate);
    m_notesShown = RawText(*ui->memNotes);
    connect(ui->btnOk, &QPushButton::clicked, this, &TfrmTask::btnOkClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmTask::~TfrmTask() = default;

QByteArray TfrmTask::name() const
{
    return AnsiOf(ui->edtName->text());
}

void TfrmTask::setName(const QByteArray &description)
{
    ui->edtName->setText(FromAnsi(description));
}

QString TfrmTask::typedNotes() const
{
    // The editor keeps no trace of how a line break was stored; the Windows program wrote
    // CR LF for every break typed.
    QString text = RawText(*ui->memNotes);
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    text.replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
    return text;
}

QByteArray TfrmTask::notes() const
{
    if (RawText(*ui->memNotes) == m_notesShown)
        return m_notes;
    return AnsiOf(typedNotes());
}

void TfrmTask::setNotes(const QByteArray &notes)
{
    ui->memNotes->setPlainText(FromAnsi(notes));
    m_notes = notes;
    m_notesShown = RawText(*ui->memNotes);
}

bool TfrmTask::done() const
{
    return ui->chkDone->isChecked();
}

void TfrmTask::setDone(bool done)
{
    ui->chkDone->setChecked(done);
}

QByteArray TfrmTask::startDate() const
{
    return AnsiOf(ui->edtStartDate->text());
}

void TfrmTask::setStartDate(const QByteArray &date)
{
    ui->edtStartDate->setText(FromAnsi(date));
}

QByteArray TfrmTask::endDate() const
{
    return AnsiOf(ui->edtEndDate->text());
}

void TfrmTask::setEndDate(const QByteArray &date)
{
    ui->edtEndDate->setText(FromAnsi(date));
}

void TfrmTask::btnOkClick()
{
    // A task's fields are quoted in Projects.dat, so "^" is welcome in them.
    if (CheckEntry(m_msg, ui->edtName, QStringLiteral("A valid task description is required!"),
                   {{ui->edtName, ui->edtName->text(), QStringLiteral("a task description"), false, false},
                    {ui->memNotes, typedNotes(), QStringLiteral("the notes"), false, true},
                    {ui->edtStartDate, ui->edtStartDate->text(), QStringLiteral("a date"), false, false},
                    {ui->edtEndDate, ui->edtEndDate->text(), QStringLiteral("a date"), false, false}}))
        accept();
}
