#pragma once

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>

// The HTML view: shows an HTML text read-only, as text and pictures only. It runs no script,
// fetches nothing (no remote address, no local file: only pictures embedded in the document
// as data: addresses are shown, up to 8 MiB and 4096 pixels each way; a larger or broken one
// shows as a small placeholder) and never navigates. A clicked link opens in the user's
// browser when it is an http, https or mailto address; a link to an anchor of the document
// scrolls there; every other link does nothing.
class THtmlView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit THtmlView(QWidget *parent = nullptr);

    // Shows html given as Windows-1252 bytes (the settings file's and the news service's text).
    void setAnsiHtml(const QByteArray &html);
    // Shows html given as text.
    void setHtmlText(const QString &html);

    // Whether a clicked link with this address is handed to the browser.
    static bool OpensInBrowser(const QUrl &url);

    // Nothing is loaded from outside the document: only data: pictures within the limits are
    // decoded.
    QVariant loadResource(int type, const QUrl &name) override;

protected:
    // Setting a source would load a file into the view: refused.
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;

private:
    void followLink(const QUrl &url);
    void showLinkAddress(const QUrl &url);
};
