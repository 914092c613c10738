#pragma once

// A fresh entry dialog with a scripted message box, for the dialog tests.

#include "planner/FCategory.h"
#include "planner/FHour.h"
#include "planner/FNewProject.h"
#include "planner/FTask.h"
#include "toolkit/MessageBox.h"
#include "util/ShortDate.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QtTest>
#include <memory>

enum class TEntryDialogKind { Project, Task, Category, Hour };
Q_DECLARE_METATYPE(TEntryDialogKind)

struct TEntryDialogFixture
{
    explicit TEntryDialogFixture(TEntryDialogKind kind,
                                 const QList<QByteArray> &categories = {"Ebooks", "Software"})
    {
        SetShortDateFormat(QStringLiteral("M/d/yyyy"));
        msg.setScripted(true);
        switch (kind) {
        case TEntryDialogKind::Project:
            dialog = std::make_unique<TfrmCreateProject>(categories, msg);
            break;
        case TEntryDialogKind::Task:
            dialog = std::make_unique<TfrmTask>(msg);
            break;
        case TEntryDialogKind::Category:
            dialog = std::make_unique<TfrmCategory>(msg);
            break;
        case TEntryDialogKind::Hour:
            dialog = std::make_unique<TfrmHour>(msg);
            break;
        }
    }

    ~TEntryDialogFixture() { SetShortDateFormat(QString()); }

    template <typename T = QWidget>
    T *child(const QString &name) const
    {
        return dialog->findChild<T *>(name);
    }

    // Shows the dialog as the active window, the way the user gets it.
    bool open()
    {
        dialog->show();
        dialog->activateWindow();
        return QTest::qWaitForWindowActive(dialog.get());
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>(QStringLiteral("btnOk")), Qt::LeftButton); }

    // The name field's bytes as the caller reads them on OK.
    QByteArray name() const
    {
        if (auto *d = qobject_cast<TfrmCreateProject *>(dialog.get()))
            return d->name();
        if (auto *d = qobject_cast<TfrmTask *>(dialog.get()))
            return d->name();
        if (auto *d = qobject_cast<TfrmCategory *>(dialog.get()))
            return d->name();
        return qobject_cast<TfrmHour *>(dialog.get())->name();
    }

    bool accepted() const { return !dialog->isVisible() && dialog->result() == QDialog::Accepted; }

    QStringList messages() const
    {
        QStringList texts;
        for (const TMessageBox::Shown &shown : msg.log())
            texts << shown.text;
        return texts;
    }

    TMessageBox msg;
    std::unique_ptr<QDialog> dialog;
};

// Types text into widget key by key; each character (a surrogate pair counts as one) is the
// text of one key press, as a keyboard or input method delivers it.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString key(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            key += text[++i];
        const Qt::Key code = key.size() == 1 && key[0].unicode() < 128 && key[0].isLetterOrNumber()
                                 ? Qt::Key(key[0].toUpper().unicode())
                                 : key == QStringLiteral(" ") ? Qt::Key_Space
                                                              : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, code, key, Qt::NoModifier);
    }
}

// Today's date as a fresh date field shows it under M/d/yyyy: as the short date writes it.
inline QString TodayInField()
{
    return ShortDateText(QDate::currentDate());
}
