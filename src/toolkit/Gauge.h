#pragma once

#include <QProgressBar>
#include <QString>

// The gauge with a progress text: range 0..100, its caption is the progress text immediately
// followed by the value and "%", e.g. "3/11 tasks  " at 27 reads "3/11 tasks  27%".
// The caption is built here rather than through QProgressBar::setFormat, whose "%p", "%v"
// and "%m" placeholders would be expanded inside a progress text that holds a "%".
// The caption is drawn over the bar in the text colour: styles draw the part of it over the
// bar in the selection's text colour (white), which a light bar swallows.
class TGauge : public QProgressBar
{
    Q_OBJECT

public:
    explicit TGauge(QWidget *parent = nullptr);

    void setProgressText(const QString &text);
    QString progressText() const { return m_progressText; }

    // The whole caption as drawn: progress text, value, "%".
    QString text() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_progressText;
};
