#pragma once

#include <QApplication>

// The application object. Whatever a handler did not catch ends in the error report, and the
// program goes on.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
