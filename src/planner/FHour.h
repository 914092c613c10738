#pragma once

#include <QByteArray>
#include <QDialog>
#include <memory>

namespace Ui {
class TfrmHour;
}
class TMessageBox;

// The action dialog: the action planned for one hour of one day. Enter in the action field
// does what Ok does.
class TfrmHour : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmHour(TMessageBox &msg, QWidget *parent = nullptr);
    ~TfrmHour() override;

    // The labels at the top: "Day: " + day, "Hour: " + hour.
    void setDay(const QByteArray &day);
    void setHour(const QByteArray &hour);

    // The action as typed, blanks at the ends kept.
    QByteArray name() const;
    void setName(const QByteArray &action);

    // Ok: refuses a blank action or one holding "^" or a character the files cannot hold;
    // otherwise ends the dialog with OK.
    void btnOkClick();

private:
    std::unique_ptr<Ui::TfrmHour> ui;
    TMessageBox &m_msg;
};
