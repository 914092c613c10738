#pragma once
// Contract only; the implementation fills this header.
//
// class TMessageBox : public QObject  -- the main window's `msgMain` (objectName "msgMain").
//   Every message box of the program goes through it.
//   QMessageBox::StandardButton show(const QString &text, QMessageBox::Icon kind,
//                                    QMessageBox::StandardButtons buttons,
//                                    QMessageBox::StandardButton defaultButton = NoButton);
//   Production: a modal QMessageBox over the parent window, caption = the parent window's
//   title. Scripted (tests): nothing is displayed; answers come from a queue
//   (scriptAnswers), and when the queue is empty the answer is the default button, else Ok
//   when offered, else the first button offered.
//   struct Shown { QString text; QMessageBox::Icon kind; QMessageBox::StandardButtons buttons; };
//   void setScripted(bool); void scriptAnswers(QList<QMessageBox::StandardButton>);
//   const QList<Shown> &log() const; void clearLog();
//   Convenience: information(text) = show(text, Information, Ok);
//                question(text)    = show(text, Information, Ok | Cancel) == Ok.
