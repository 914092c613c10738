#pragma once

#include <QLabel>
#include <QString>

// A link label: its caption underlined in the link colour with a hand cursor; a click (or
// Enter or Space when it has the focus) opens its address with the desktop's own handler for
// it, when it is a web or mail address. A label without an address does nothing; one whose
// address could not be opened (refused, no handler, the start failed) says so through
// openFailed.
class TLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLinkLabel(QWidget *parent = nullptr);

    const QString &address() const { return m_address; }
    void setAddress(const QString &address);
    // Caption and address together; the accessible name follows the caption.
    void setLink(const QString &caption, const QString &address);

    // Opens the address (what a click does); false when it could not be opened.
    bool open();

signals:
    // The address could not be opened (not a web or mail address, no handler for it, or the
    // start failed).
    void openFailed(const QString &address);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_address;
    bool m_pressed = false;
};
