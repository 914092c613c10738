#include "app/Application.h"
#include "shell/FMain.h"

#include <QDir>
#include <QScreen>

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TfrmMain frmMain(QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/'));
    if (const QScreen *screen = frmMain.screen())
        frmMain.move(screen->availableGeometry().center() - frmMain.rect().center());
    frmMain.show();
    return app.exec();
}
