#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TfrmTask;
}
class TMessageBox;

// The task dialog: description, notes, done flag, start and end date.
class TfrmTask : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmTask(TMessageBox &msg, QWidget *parent = nullptr);
    ~TfrmTask() override;

    // The description as typed, blanks at the ends kept.
    QByteArray name() const;
    void setName(const QByteArray &description);

    // The notes with their line breaks. Notes the user left alone come back byte for byte
    // as given (CR LF, LF or CR); once edited, every line break is CR LF.
    QByteArray notes() const;
    void setNotes(const QByteArray &notes);

    bool done() const;
    void setDone(bool done);

    // The dates exactly as their fields show them (see TDateEdit).
    QByteArray startDate() const;
    void setStartDate(const QByteArray &date);
    QByteArray endDate() const;
    void setEndDate(const QByteArray &date);

    // Ok: refuses a blank description, or a character the files cannot hold in any field;
    // otherwise ends the dialog with OK.
    void btnOkClick();

private:
    QString typedNotes() const;

    std::unique_ptr<Ui::TfrmTask> ui;
    TMessageBox &m_msg;
    QByteArray m_notes;      // the notes last given to setNotes()
    QString m_notesShown;    // the editor's text right after that
};
