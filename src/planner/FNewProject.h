#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <memory>

namespace Ui {
class TfrmCreateProject;
}
class TMessageBox;

// The project dialog: name, category, start and end date; the caller sets the caption
// "Edit current project" when it edits one.
class TfrmCreateProject : public QDialog
{
    Q_OBJECT

public:
    // categories: the project book's category names, offered in this order; the first is
    // selected.
    TfrmCreateProject(const QList<QByteArray> &categories, TMessageBox &msg,
                      QWidget *parent = nullptr);
    ~TfrmCreateProject() override;

    // Selects the first category equal to name ignoring letter case; an empty or unknown
    // name leaves the selection as it is.
    void SelectCategory(const QByteArray &name);

    // The name as typed, blanks at the ends kept.
    QByteArray name() const;
    void setName(const QByteArray &name);

    // The selected category, empty when none is.
    QByteArray category() const;

    // The dates exactly as their fields show them (see TDateEdit).
    QByteArray startDate() const;
    void setStartDate(const QByteArray &date);
    QByteArray endDate() const;
    void setEndDate(const QByteArray &date);

    // "Use Default Project To Do List": hidden, so never ticked.
    bool useDefault() const;

    // Ok: refuses a blank name, "^" in the name, or a character the files cannot hold in
    // any field; otherwise ends the dialog with OK.
    void btnOkClick();

private:
    std::unique_ptr<Ui::TfrmCreateProject> ui;
    TMessageBox &m_msg;
};
