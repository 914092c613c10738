#pragma once

#include "util/BrandingSettings.h"

#include <QString>

class QNetworkAccessManager;
class QWidget;
class TMessageBox;

// What the online services use of the main window: its one HTTP client, its message component,
// the brander's values and the application directory.
struct TOnlineContext {
    QNetworkAccessManager *http = nullptr;
    TMessageBox *msgMain = nullptr;
    const TBrandingSettings *settings = nullptr;
    QString appDir;
};
