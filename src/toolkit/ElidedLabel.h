#pragma once

#include <QLabel>

// A one-line label that never asks for the width of its text: a text too long for the room
// it has is drawn cut short with "...", and then the whole text is its tool tip. text()
// stays the whole text. Its minimum width is that of a few characters, so a long text never
// widens the window or raises its minimum size.
class TElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TElidedLabel(QWidget *parent = nullptr);

    // Hides QLabel's setText() so that the tool tip follows the text; call it on a
    // TElidedLabel.
    void setText(const QString &text);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    // True while the text is drawn cut short.
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateToolTip();
};
