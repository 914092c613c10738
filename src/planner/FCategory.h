#pragma once

#include <QByteArray>
#include <QDialog>
#include <memory>

namespace Ui {
class TfrmCategory;
}
class TMessageBox;

// The category dialog: one category name.
class TfrmCategory : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmCategory(TMessageBox &msg, QWidget *parent = nullptr);
    ~TfrmCategory() override;

    // The name as typed, blanks at the ends kept.
    QByteArray name() const;
    void setName(const QByteArray &name);

    // Ok: refuses a blank name or one holding "^" or a character the files cannot hold;
    // otherwise ends the dialog with OK.
    void btnOkClick();

private:
    std::unique_ptr<Ui::TfrmCategory> ui;
    TMessageBox &m_msg;
};
