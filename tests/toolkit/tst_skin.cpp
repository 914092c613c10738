#include "toolkit/Skin.h"

#include "planner/FCategory.h"
#include "planner/FHour.h"
#include "planner/FNewProject.h"
#include "planner/FTask.h"
#include "shell/FAbout.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBox.h"
#include "util/BrandingSettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QtEndian>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// A skin file's bytes with another length in front.
QByteArray WithClaimedLength(QByteArray stored, quint32 length)
{
    qToBigEndian(length, stored.data());
    return stored;
}

} // namespace

using TDialogMaker = std::function<std::unique_ptr<QDialog>(TMessageBox &)>;
Q_DECLARE_METATYPE(TDialogMaker)

class TestSkin : public QObject {
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void builtIn_isAStyleSheetThatApplies();
    void builtIn_fixedDialogsShowEveryCaptionWhole_data();
    void builtIn_fixedDialogsShowEveryCaptionWhole();
};

void TestSkin::decode_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("sheet");

    const QString sheet = QStringLiteral(u"QLabel { color: #123456; } /* café */");
    QTest::newRow("compressed UTF-8 sheet") << EncodeSkin(sheet) << true << sheet;
    QTest::newRow("plain sheet, not compressed")
        << QByteArray("QLabel { color: red; }") << false << QString();
    QTest::newRow("cut short") << EncodeSkin(sheet).left(12) << false << QString();
    QTest::newRow("empty") << QByteArray() << false << QString();
    QTest::newRow("length only") << QByteArray("\x00\x00\x00\x10", 4) << false << QString();
    QTest::newRow("length far beyond any sheet")
        << QByteArray("\x7F\xFF\xFF\xFF", 4) + qCompress("x").mid(4) << false << QString();
    QTest::newRow("not UTF-8") << qCompress(QByteArray("QLabel { color: \xFF; }")) << false
                               << QString();
    // The length in front is the file's own word: the stream may hold far more.
    QTest::newRow("zlib bomb claiming a short sheet")
        << WithClaimedLength(qCompress(QByteArray(64 * 1024 * 1024, ' '), 9), 1000) << false
        << QString();
    QTest::newRow("more than claimed by one byte")
        << WithClaimedLength(EncodeSkin(sheet), quint32(sheet.toUtf8().size() - 1)) << false
        << QString();
    QTest::newRow("less than claimed")
        << WithClaimedLength(EncodeSkin(sheet), quint32(sheet.toUtf8().size() + 100)) << true
        << sheet;
}

void TestSkin::decode()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, ok);
    QFETCH(QString, sheet);
    QString decoded = QStringLiteral("unchanged");
    QCOMPARE(DecodeSkin(stored, decoded), ok);
    QCOMPARE(decoded, ok ? sheet : QStringLiteral("unchanged"));
}

void TestSkin::builtIn_isAStyleSheetThatApplies()
{
    // A sheet Qt cannot parse is ignored with a warning; the built-in one must parse.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("[Cc]ould not parse")));
    const QString sheet = BuiltInSkin();
    QVERIFY(sheet.contains(QLatin1String("QPushButton")));
    ApplySkin(sheet);
    QCOMPARE(qApp->styleSheet(), sheet);
    QLabel probe(QStringLiteral("probe"));
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
}

void TestSkin::builtIn_fixedDialogsShowEveryCaptionWhole_data()
{
    QTest::addColumn<TDialogMaker>("make");
    QTest::newRow("category") << TDialogMaker([](TMessageBox &m) {
        return std::make_unique<TfrmCategory>(m);
    });
    QTest::newRow("project") << TDialogMaker([](TMessageBox &m) {
        return std::make_unique<TfrmCreateProject>(QList<QByteArray>{"Info Products"}, m);
    });
    QTest::newRow("task") << TDialogMaker([](TMessageBox &m) {
        return std::make_unique<TfrmTask>(m);
    });
    QTest::newRow("hour") << TDialogMaker([](TMessageBox &m) {
        return std::make_unique<TfrmHour>(m);
    });
    QTest::newRow("about") << TDialogMaker([](TMessageBox &) {
        TBrandingSettings s;
        s.ApplicationName = "My Planner";
        s.CopyrightYears = "2007-2026";
        s.CopyrightCompany = "Planner Ltd.";
        return std::make_unique<TfrmAbout>(s);
    });
}

// The dialogs place their controls at fixed sizes: the skin's borders and padding must leave
// room for every caption.
void TestSkin::builtIn_fixedDialogsShowEveryCaptionWhole()
{
    QFETCH(TDialogMaker, make);
    ApplySkin(BuiltInSkin());
    TMessageBox msg;
    std::unique_ptr<QDialog> dialog = make(msg);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->text().isEmpty() || !button->isVisible())
            continue;
        const QSize need = button->sizeHint();
        QVERIFY2(need.height() <= button->height(), qPrintable(button->text()));
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                 qPrintable(button->text()));
    }
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        QVERIFY2(label->fontMetrics().height() <= label->height(), qPrintable(label->text()));
    }
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
