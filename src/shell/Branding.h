#pragma once

#include "shell/BannerPicture.h"
#include "util/BrandingSettings.h"

#include <QObject>
#include <QString>

class QAbstractButton;
class QFrame;
class QLabel;
class QWidget;
class TLinkLabel;
class TMessageBox;

// The brander's settings applied to the main window: caption, "Make Money" button, news
// button, skin, icon; the welcome page, banner and links chosen at random among the file's
// candidates; the clicks on the banner, "Make Money", "Help" and "About".
class TBranding : public QObject
{
    Q_OBJECT

public:
    struct Widgets {
        QWidget *window;
        QAbstractButton *btnMakeMoney;
        QAbstractButton *btnNews;
        QAbstractButton *btnHelp;
        QAbstractButton *btnAbout;
        QFrame *panBanner;
        QLabel *imgBanner;
        QLabel *gifBanner;
        QFrame *panLinks;
        TLinkLabel *lblLink1URL;
        TLinkLabel *lblLink2URL;
    };

    // Puts the window in its unbranded state (built-in skin and icon, placeholder links) and
    // connects the clicks. settings is filled by LoadBrandingSettings; an address that cannot
    // be opened is reported in msg.
    TBranding(const QString &appDir, TBrandingSettings &settings, const Widgets &widgets,
              TMessageBox &msg);

    // Reads dbsettings.dat and applies it. Without a settings file, or with one that is
    // damaged or altered, nothing changes: the window stays unbranded.
    TSettingsFileState LoadBrandingSettings();

    // Keeps the banner pictures in the middle of their strip (on show and on resize).
    void centreBanner();

    void btnMakeMoneyClick();
    void btnHelpClick();
    void btnAboutClick();
    void imgBannerClick();
    void gifBannerClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyCaption();
    void applyNewsButton();
    void applyMakeMoneyCaption();
    void chooseWelcomePage();
    void chooseBanner();
    void loadBanner();
    void fitBanner();
    void chooseLinks();
    void loadSkinFile();
    void loadIconFile();
    void openBannerAddress();

    QString m_appDir;
    TBrandingSettings &m_settings;
    Widgets w;
    TBannerPicture m_banner;
    TMessageBox &m_msg;
};
