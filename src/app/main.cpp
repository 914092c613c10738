#include "app/Application.h"
#include "shell/FMain.h"
#include "updater/InterruptedInstall.h"
#include "updater/UpdateNotice.h"
#include "util/AppVersion.h"

#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTimer>

namespace {

void ShowUpdateNotice(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QStringLiteral("Project Zelvo Update"), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // it may quote what a server said
    box.exec();
}

} // namespace

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    const QString appDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    QString notice = AfterUpdateNotice(app.arguments().mid(1), AppVersion);

    // Before any other file is read: an install that was cut off is completed or rolled back.
    const TInstallRepair repair = RepairInterruptedInstall(appDir, QCoreApplication::applicationFilePath());
    if (repair.unrepaired) {
        ShowUpdateNotice(nullptr, repair.notice, QMessageBox::Critical);
        return 1;
    }
    if (repair.programChanged) {
        // This process runs the program file that was just put back: the restored one starts.
        if (QProcess::startDetached(QCoreApplication::applicationFilePath(), {UpdateKeptArgument, repair.notice}, appDir))
            return 0;
    }
    if (!repair.notice.isEmpty())
        notice = repair.notice;

    TfrmMain frmMain(appDir);
    if (const QScreen *screen = frmMain.screen())
        frmMain.move(screen->availableGeometry().center() - frmMain.rect().center());
    frmMain.show();
    if (!notice.isEmpty())
        QTimer::singleShot(0, &frmMain, [&frmMain, notice] {
            ShowUpdateNotice(&frmMain, notice, QMessageBox::Information);
        });
    return app.exec();
}
