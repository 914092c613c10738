#include "app/Application.h"

#include "toolkit/ErrorReport.h"
#include "util/FileError.h"

#include <exception>

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const TFileError &error) {
        ReportError(error.message());
    } catch (const std::exception &error) {
        ReportError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ReportError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}
