#include "toolkit/HtmlView.h"

#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextDocument>

namespace {

// Embedded pictures past these are not decoded: a few bytes of a compressed picture can
// claim a size whose decoding takes gigabytes.
constexpr qsizetype kMaxPictureBytes = 8 * 1024 * 1024;
constexpr int kMaxPictureSide = 4096;

// The bytes of a data: address ("data:[type][;base64],payload"); false when it is not one or
// its payload is larger than kMaxPictureBytes (refused before it is decoded).
bool DecodeDataUrl(const QUrl &url, QByteArray &payload, bool &tooLarge)
{
    if (url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return false;
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    const qsizetype comma = encoded.indexOf(',');
    if (comma < 0)
        return false;
    const QByteArray header = encoded.left(comma).toLower();
    const bool base64 = header.endsWith(";base64");
    // Percent-decoding and base64 decoding never make the text longer.
    const qsizetype bound = (encoded.size() - comma - 1) * (base64 ? 3 : 4) / 4;
    tooLarge = bound > kMaxPictureBytes;
    if (tooLarge)
        return false;
    const QByteArray data = QByteArray::fromPercentEncoding(encoded.mid(comma + 1));
    if (base64) {
        const auto decoded =
            QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return false;
        payload = *decoded;
    } else {
        payload = data;
    }
    tooLarge = payload.size() > kMaxPictureBytes;
    return !tooLarge;
}

// The picture of the bytes when its header names a size within kMaxPictureSide each way; a
// null picture otherwise. The size is read before anything is decoded.
QImage DecodeBoundedPicture(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return QImage();
    return reader.read();
}

// A small framed square where an embedded picture could not be shown.
QImage Placeholder()
{
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter painter(&picture);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, 15, 15);
    painter.drawLine(0, 0, 15, 15);
    return picture;
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
        bool tooLarge = false;
        const bool embedded = DecodeDataUrl(name, bytes, tooLarge);
        if (embedded) {
            const QImage picture = DecodeBoundedPicture(bytes);
            if (!picture.isNull())
                return picture;
        }
        if (embedded || tooLarge)
            return Placeholder();
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
