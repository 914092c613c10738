#include "shell/AddressNotice.h"

#include "toolkit/MessageBox.h"
#include "util/CodePage.h"
#include "util/UUtils.h"

void OpenInBrowserOrSay(TMessageBox &msg, const QByteArray &url)
{
    if (!OpenInBrowser(url) && !url.isEmpty())
        ReportUnopenedAddress(msg, FromAnsi(url));
}

void ReportUnopenedAddress(TMessageBox &msg, const QString &address)
{
    msg.notice(QStringLiteral("The address could not be opened: no web browser or other "
                              "program for it could be started.\n\nYou can copy the address "
                              "from here and open it yourself:"),
               address);
}
