#pragma once

#include <QByteArray>
#include <QList>

// Where a welcome page asks for a picture or style sheet from outside the page: the program
// shows the page as it is and loads nothing, so such a picture or style is missing. Pictures
// kept in the page as data: addresses need nothing loaded and are not listed.
struct TPageReference {
    qsizetype at = 0;   // offset of the address in the page
    QByteArray address; // as written, without its quotes
};

// The src and background attributes, the href of <link> elements, and CSS url(...) and
// @import "..." in a page, in page order.
QList<TPageReference> ExternalPageReferences(const QByteArray &html);
