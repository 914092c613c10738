#include "toolkit/HtmlView.h"

#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QImage>
#include <QTextDocument>

namespace {

// The bytes of a data: address ("data:[type][;base64],payload"); false when it is not one.
bool DecodeDataUrl(const QUrl &url, QByteArray &payload)
{
    if (url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return false;
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    const qsizetype comma = encoded.indexOf(',');
    if (comma < 0)
        return false;
    const QByteArray header = encoded.left(comma).toLower();
    const QByteArray data = QByteArray::fromPercentEncoding(encoded.mid(comma + 1));
    if (header.endsWith(";base64")) {
        const auto decoded =
            QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return false;
        payload = *decoded;
    } else {
        payload = data;
    }
    return true;
}

} // namespace

THtmlView::THtmlView(QWidget *parent) : QTextBrowser(parent)
{
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THtmlView::followLink);
    connect(this, qOverload<const QUrl &>(&QTextBrowser::highlighted), this,
            &THtmlView::showLinkAddress);
}

void THtmlView::setAnsiHtml(const QByteArray &html)
{
    setHtmlText(FromAnsi(html));
}

void THtmlView::setHtmlText(const QString &html)
{
    setHtml(html);
}

bool THtmlView::OpensInBrowser(const QUrl &url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return !url.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// The document asks its view for every picture and style sheet it names. Whatever is not
// embedded gets an empty answer that is not null: the document falls back to reading a local
// file for a null answer, and the picture drawer does so for a null picture.
QVariant THtmlView::loadResource(int type, const QUrl &name)
{
    if (type == QTextDocument::ImageResource) {
        QByteArray bytes;
        if (DecodeDataUrl(name, bytes)) {
            const QImage picture = QImage::fromData(bytes);
            if (!picture.isNull())
                return picture;
        }
        QImage nothing(1, 1, QImage::Format_ARGB32);
        nothing.fill(Qt::transparent);
        return nothing;
    }
    return QByteArray();
}

void THtmlView::doSetSource(const QUrl &, QTextDocument::ResourceType) {}

void THtmlView::followLink(const QUrl &url)
{
    if (OpensInBrowser(url)) {
        OpenInBrowser(url.toEncoded());
        return;
    }
    // "#name": a place in this same document.
    if (url.scheme().isEmpty() && url.host().isEmpty() && url.path().isEmpty() &&
        url.hasFragment())
        scrollToAnchor(url.fragment());
}

// Whoever points at a link sees where it leads before clicking.
void THtmlView::showLinkAddress(const QUrl &url)
{
    viewport()->setToolTip(url.isEmpty() ? QString() : url.toDisplayString());
}
