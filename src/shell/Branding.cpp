#include "shell/Branding.h"

#include "shell/AddressNotice.h"
#include "shell/BannerPicture.h"
#include "shell/FAbout.h"
#include "toolkit/DialogRunner.h"
#include "toolkit/LinkLabel.h"
#include "toolkit/Skin.h"
#include "util/AppFiles.h"
#include "util/AppVersion.h"
#include "util/CodePage.h"
#include "util/RandomDraw.h"
#include "util/UUtils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>

namespace {

const QString kPlaceholderCaption = QStringLiteral("Google");
const QString kPlaceholderAddress = QStringLiteral("https://www.google.com/");
const QString kMakeMoney = QStringLiteral("Make Money");

// Part n of an entry split at "^"; empty when the entry has fewer parts.
QByteArray Part(const QList<QByteArray> &parts, int n)
{
    return n < parts.size() ? parts.at(n) : QByteArray();
}

QIcon BuiltInIcon()
{
    BuiltInSkin(); // registers the resource that holds the icon
    return QIcon(QStringLiteral(":/skin/zelvo.png"));
}

void SetWindowIcon(QWidget &window, const QIcon &icon)
{
    window.setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

} // namespace

TBranding::TBranding(const QString &appDir, TBrandingSettings &settings, const Widgets &widgets,
                     TMessageBox &msg)
    : m_appDir(appDir), m_settings(settings), w(widgets), m_msg(msg)
{
    ApplySkin(BuiltInSkin());
    SetWindowIcon(*w.window, BuiltInIcon());
    w.lblLink1URL->setLink(kPlaceholderCaption, kPlaceholderAddress);
    w.lblLink2URL->setLink(kPlaceholderCaption, kPlaceholderAddress);
    for (TLinkLabel *link : {w.lblLink1URL, w.lblLink2URL})
        connect(link, &TLinkLabel::openFailed, this,
                [this](const QString &address) { ReportUnopenedAddress(m_msg, address); });
    w.imgBanner->installEventFilter(this);
    w.gifBanner->installEventFilter(this);
    w.panBanner->installEventFilter(this);
    connect(w.btnMakeMoney, &QAbstractButton::clicked, this, &TBranding::btnMakeMoneyClick);
    connect(w.btnHelp, &QAbstractButton::clicked, this, &TBranding::btnHelpClick);
    connect(w.btnAbout, &QAbstractButton::clicked, this, &TBranding::btnAboutClick);
}

TSettingsFileState TBranding::LoadBrandingSettings()
{
    QByteArray plainText;
    const TSettingsFileState state = ReadSettingsText(m_appDir, plainText);
    if (state != TSettingsFileState::Loaded)
        return state;
    m_settings = ParseBrandingSettings(plainText);
    applyCaption();
    applyNewsButton();
    applyMakeMoneyCaption();
    chooseWelcomePage();
    chooseBanner();
    chooseLinks();
    loadSkinFile();
    loadIconFile();
    return state;
}

void TBranding::applyCaption()
{
    if (!m_settings.ApplicationName.isEmpty())
        w.window->setWindowTitle(FromAnsi(m_settings.ApplicationName) + QStringLiteral(" v") +
                                 FromAnsi(AppVersion));
}

void TBranding::applyNewsButton()
{
    w.btnNews->setVisible(NewsButtonVisible(m_settings));
}

void TBranding::applyMakeMoneyCaption()
{
    const QString caption = m_settings.MakeMoneyButton.isEmpty()
                                ? kMakeMoney
                                : FromAnsi(m_settings.MakeMoneyButton);
    w.btnMakeMoney->setText(caption);
    w.btnMakeMoney->setAccessibleName(caption);
}

void TBranding::chooseWelcomePage()
{
    const auto &pages = m_settings.WelcomePages;
    if (!pages.isEmpty())
        m_settings.WelcomeHTML = pages.at(DrawIndex(int(pages.size())));
}

void TBranding::chooseBanner()
{
    const auto &banners = m_settings.Banners;
    if (!banners.isEmpty()) {
        const int i = DrawIndex(int(banners.size()));
        const QList<QByteArray> parts = SplitString('^', banners.at(i));
        m_settings.BannerURL = Part(parts, 1);
        m_settings.BannerFile = Part(parts, 0);
        m_settings.BannerNumber = i + 1;
    }
    const Qt::CursorShape cursor =
        m_settings.BannerURL.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor;
    w.imgBanner->setCursor(cursor);
    w.gifBanner->setCursor(cursor);
    loadBanner();
}

// The picture is read from where it lies, in the format its shown name tells; a missing or
// unreadable picture hides the strip.
void TBranding::loadBanner()
{
    if (m_settings.BannerFile.isEmpty()) {
        w.panBanner->hide();
        return;
    }
    const QString shownName = FileNamePart(m_settings.BannerFile);
    const QString source = BannerSourceFile(m_appDir, m_settings.BannerNumber, shownName);
    const bool animated = IsAnimatedBannerName(shownName);
    QLabel *shown = animated ? w.gifBanner : w.imgBanner;
    QLabel *other = animated ? w.imgBanner : w.gifBanner;
    if (source.isEmpty() || !m_banner.load(*shown, source, shownName)) {
        w.panBanner->hide();
        return;
    }
    other->hide();
    shown->show();
    fitBanner();
}

// A picture too large for the strip is shown scaled down to its width and at most
// kMaxBannerHeight high; the strip is the shown picture's height plus 10.
void TBranding::fitBanner()
{
    if (m_banner.shownSize().isEmpty()) { // no picture: the strip keeps its height
        centreBanner();
        return;
    }
    m_banner.fit(w.panBanner->width());
    const int height = m_banner.shownSize().height() + 10;
    if (w.panBanner->height() != height || w.panBanner->minimumHeight() != height)
        w.panBanner->setFixedHeight(height);
    centreBanner();
}

void TBranding::chooseLinks()
{
    QList<QByteArray> links = m_settings.Links;
    if (!links.isEmpty()) {
        const int first = DrawIndex(int(links.size()));
        const QList<QByteArray> parts = SplitString('^', links.takeAt(first));
        m_settings.Link1URL = Part(parts, 1);
        m_settings.Link1Caption = Part(parts, 0);
    }
    if (!links.isEmpty()) {
        const QList<QByteArray> parts =
            SplitString('^', links.at(DrawIndex(int(links.size()))));
        m_settings.Link2URL = Part(parts, 1);
        m_settings.Link2Caption = Part(parts, 0);
    }
    w.panLinks->setVisible(!m_settings.Link1Caption.isEmpty());
    w.lblLink1URL->setLink(FromAnsi(m_settings.Link1Caption), FromAnsi(m_settings.Link1URL));
    w.lblLink2URL->setLink(FromAnsi(m_settings.Link2Caption), FromAnsi(m_settings.Link2URL));
}

// A skin file that cannot be read keeps the built-in skin.
void TBranding::loadSkinFile()
{
    const QString path = ResolveFileName(m_appDir, QStringLiteral("mainskin.dat"));
    QString sheet;
    if (QFileInfo(path).isFile() && ReadSkinFile(path, sheet))
        ApplySkin(sheet);
}

// An icon file that holds no picture keeps the built-in icon.
void TBranding::loadIconFile()
{
    const QString path = ResolveFileName(m_appDir, QStringLiteral("main.ico"));
    if (!QFileInfo(path).isFile())
        return;
    const QIcon icon(path);
    if (!icon.availableSizes().isEmpty())
        SetWindowIcon(*w.window, icon);
}

void TBranding::centreBanner()
{
    const QWidget *strip = w.panBanner;
    for (QLabel *picture : {w.imgBanner, w.gifBanner})
        picture->move(strip->width() / 2 - picture->width() / 2,
                      strip->height() / 2 - picture->height() / 2);
}

void TBranding::btnMakeMoneyClick()
{
    OpenInBrowserOrSay(m_msg, m_settings.AffiliateURL);
}

void TBranding::btnHelpClick()
{
    OpenInBrowserOrSay(m_msg, m_settings.AppHelpURL);
}

void TBranding::btnAboutClick()
{
    TfrmAbout about(m_settings, w.window);
    RunModal(about);
}

void TBranding::imgBannerClick()
{
    openBannerAddress();
}

void TBranding::gifBannerClick()
{
    openBannerAddress();
}

void TBranding::openBannerAddress()
{
    if (!m_settings.BannerURL.isEmpty())
        OpenInBrowserOrSay(m_msg, m_settings.BannerURL);
}

bool TBranding::eventFilter(QObject *watched, QEvent *event)
{
    // The strip gets its final width from the layouts after the window's own resize event:
    // centring again when the strip itself changes keeps the picture in the middle.
    if (watched == w.panBanner && event->type() == QEvent::Resize)
        fitBanner();
    if (event->type() != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool click = mouse->button() == Qt::LeftButton &&
                       static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint());
    if (click && watched == w.imgBanner)
        imgBannerClick();
    else if (click && watched == w.gifBanner)
        gifBannerClick();
    return QObject::eventFilter(watched, event);
}
