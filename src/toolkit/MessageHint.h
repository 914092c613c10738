#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QString>
#include <QWidget>

// A balloon message: a small window whose tip points at a screen point and whose body lies
// below and to the left of it. It closes at the user's next mouse click or key press anywhere
// in the program, or when the active window changes; the program itself never closes it.
// Its text is the balloon's accessible name, so screen readers announce it.
class TMessageHint : public QWidget {
    Q_OBJECT

public:
    // owner: the window the balloon belongs to (it is destroyed with it).
    explicit TMessageHint(QWidget *owner);

    // Closes a balloon still showing, then shows text (line breaks kept) with its tip at tip.
    void showMessage(const QString &text, const QPoint &tip);
    QString text() const { return m_text; }
    // The screen point the tip touches.
    QPoint tipPoint() const { return m_tip; }

signals:
    // The balloon went away (the user's click or key, or another active window).
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOut();
    QPainterPath balloonPath() const;

    QString m_text;
    QPoint m_tip;
    int m_tipX = 0; // x of the tip inside the widget
    QRect m_textRect;
    int m_textFlags = Qt::TextWordWrap;
};
