// Where the keyboard focus is can be seen: every control of the main window and of the entry
// dialogs looks different, all round its edge, while it has the focus. The suite runs this
// test at 100% and again at 200% scale (QT_SCALE_FACTOR=2).

#include "common/MainWindowFixture.h"

#include "planner/FCategory.h"
#include "planner/FHour.h"
#include "planner/FNewProject.h"
#include "planner/FTask.h"
#include "toolkit/Skin.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTabBar>
#include <QTabWidget>

namespace {

// The painted control, at the pixels of the screen; of a tab bar, its current tab, which is
// where its focus shows.
QImage Shot(QWidget &widget)
{
    QApplication::processEvents();
    QRect area = widget.rect();
    if (auto *bar = qobject_cast<QTabBar *>(&widget))
        area = bar->tabRect(bar->currentIndex());
    return widget.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ clearly between two shots of one control, and those of them in the
// outermost few pixels on each side: a focus ring changes the edge all round.
struct TChange
{
    int changed = 0;
    bool top = false, bottom = false, left = false, right = false;
    bool allRound() const { return top && bottom && left && right; }
};

TChange Compare(const QImage &before, const QImage &after)
{
    TChange change;
    if (before.size() != after.size())
        return change;
    const int edge = qMax(3, int(3 * after.devicePixelRatio()));
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const QColor a = before.pixelColor(x, y), b = after.pixelColor(x, y);
            if (qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 60)
                continue;
            ++change.changed;
            const bool midX = x > after.width() / 4 && x < after.width() * 3 / 4;
            const bool midY = y > after.height() / 4 && y < after.height() * 3 / 4;
            change.top |= y < edge && midX;
            change.bottom |= y >= after.height() - edge && midX;
            change.left |= x < edge && midY;
            change.right |= x >= after.width() - edge && midY;
        }
    return change;
}

// The controls of root the user reaches with Tab, as shown now.
QList<QWidget *> TabStops(QWidget &root)
{
    QList<QWidget *> stops;
    for (QWidget *w : root.findChildren<QWidget *>()) {
        if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)
            || w->focusProxy())
            continue;
        // A tab bar's scroll arrows are the mouse's; Tab reaches the bar itself.
        if (qobject_cast<QTabBar *>(w->parentWidget()))
            continue;
        stops << w;
    }
    return stops;
}

QString NameOf(QWidget *w)
{
    QString name = w->objectName();
    for (QWidget *p = w->parentWidget(); name.isEmpty() && p; p = p->parentWidget())
        name = p->objectName() + QStringLiteral(" > ") + QString::fromLatin1(w->metaObject()->className());
    return name;
}

// Each stop, once without and once with the focus; away is a control that keeps the focus
// meanwhile. Returns the names of the stops whose focus cannot be seen.
QStringList UnseenFocus(const QList<QWidget *> &stops, QWidget *away)
{
    QStringList unseen;
    for (QWidget *w : stops) {
        QWidget *elsewhere = w == away ? stops.first() : away;
        if (elsewhere == w)
            elsewhere = stops.last();
        elsewhere->setFocus(Qt::TabFocusReason);
        const QImage before = Shot(*w);
        w->setFocus(Qt::TabFocusReason);
        if (!w->hasFocus()) {
            unseen << NameOf(w) + QStringLiteral(" (takes no focus)");
            continue;
        }
        const QImage after = Shot(*w);
        if (!Compare(before, after).allRound())
            unseen << NameOf(w);
    }
    return unseen;
}

} // namespace

class TestFocusRing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainWindow_everyControlShowsItsFocus_data();
    void mainWindow_everyControlShowsItsFocus();
    void entryDialogs_everyControlShowsItsFocus_data();
    void entryDialogs_everyControlShowsItsFocus();
};

void TestFocusRing::mainWindow_everyControlShowsItsFocus_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("Tasks") << 0;
    QTest::newRow("Calendar") << 1;
}

void TestFocusRing::mainWindow_everyControlShowsItsFocus()
{
    QFETCH(int, page);
    TMainWindowFixture f;
    f.writeFile(QStringLiteral("categories.dat"), "Ebooks\r\n");
    f.writeFile(QStringLiteral("Projects.dat"), "Header^Shop^Ebooks^^^\r\n^False^,^Call^,^^,^^,^^\r\nEndProject\r\n");
    TfrmMain &frm = f.open();
    frm.resize(1000, 700);
    f.child<QTabWidget>("pgcMain")->setCurrentIndex(page);
    const QList<QWidget *> stops = TabStops(frm);
    QVERIFY(stops.size() > 8);
    const QStringList unseen = UnseenFocus(stops, f.child<QWidget>("btnSave"));
    QVERIFY2(unseen.isEmpty(), qPrintable(unseen.join(QStringLiteral(", "))));
}

void TestFocusRing::entryDialogs_everyControlShowsItsFocus_data()
{
    QTest::addColumn<QString>("dialog");
    for (const char *name : {"project", "task", "category", "action"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFocusRing::entryDialogs_everyControlShowsItsFocus()
{
    QFETCH(QString, dialog);
    SetShortDateFormat(QStringLiteral("M/d/yyyy"));
    ApplySkin(BuiltInSkin());
    TMessageBox msg;
    std::unique_ptr<QDialog> d;
    if (dialog == QLatin1String("project"))
        d = std::make_unique<TfrmCreateProject>(QList<QByteArray>{"Ebooks"}, msg);
    else if (dialog == QLatin1String("task"))
        d = std::make_unique<TfrmTask>(msg);
    else if (dialog == QLatin1String("category"))
        d = std::make_unique<TfrmCategory>(msg);
    else
        d = std::make_unique<TfrmHour>(msg);
    d->show();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    const QList<QWidget *> stops = TabStops(*d);
    QVERIFY(stops.size() >= 3);
    const QStringList unseen = UnseenFocus(stops, stops.first());
    QVERIFY2(unseen.isEmpty(), qPrintable(unseen.join(QStringLiteral(", "))));
    SetShortDateFormat(QString());
}

QTEST_MAIN(TestFocusRing)
#include "tst_focusring.moc"
