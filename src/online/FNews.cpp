#include "online/FNews.h"

#include "online/HttpExchange.h"
#include "toolkit/MessageBox.h"
#include "ui_FNews.h"
#include "util/CodePage.h"
#include "util/UUtils.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QNetworkAccessManager>
#include <QScopeGuard>
#include <QTextDocument>

namespace {

enum Column { TitleColumn = 0, PublishedColumn = 1, IdColumn = 2 };

// A tip longer than this would cover the screen.
constexpr qsizetype kMaxTitleTip = 500;

} // namespace

TfrmNews::TfrmNews(const TOnlineContext &context, const QList<QByteArray> &newsItems,
                   QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmNews>()), m_context(context),
      NewsItems(newsItems), m_service(*context.http, *context.msgMain, *context.settings)
{
    ui->setupUi(this);
    ui->splNews->setSizes({105, height() - 105});
    ui->splNews->setStretchFactor(0, 0);
    ui->splNews->setStretchFactor(1, 1);
    ui->prfEditorNews->document()->setDocumentMargin(10);

    QTreeWidget *list = ui->lvwItems;
    list->setColumnHidden(IdColumn, true);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(PublishedColumn, QHeaderView::Fixed);
    list->setColumnWidth(PublishedColumn, 160);
    list->setTextElideMode(Qt::ElideRight);
    list->setUniformRowHeights(true);
    // The selection stays as visible when the list loses the focus.
    QPalette palette = list->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    list->setPalette(palette);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);

    connect(list, &QTreeWidget::itemSelectionChanged, this, &TfrmNews::lvwItemsChange);
    connect(ui->btnExit, &QPushButton::clicked, this, &TfrmNews::btnExitClick);
}

TfrmNews::~TfrmNews() = default;

void TfrmNews::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

// One row per record, in list order: title, published date, and the id (not shown).
void TfrmNews::FormShow()
{
    QTreeWidget *list = ui->lvwItems;
    const QSignalBlocker quiet(list);
    list->clear();
    QList<QTreeWidgetItem *> rows;
    for (const QByteArray &record : NewsItems) {
        const QList<QByteArray> fields = SplitString('^', record);
        const auto field = [&fields](int i) {
            return i < fields.size() ? FromAnsi(fields[i]) : QString();
        };
        // A title is one line, elided at the column's edge; the tip shows more of it.
        const QString title = FromAnsi(FlattenLineBreaks(fields.value(1)));
        auto *row = new QTreeWidgetItem(QStringList{title, field(2), field(0)});
        row->setToolTip(TitleColumn, title.left(kMaxTitleTip));
        row->setData(IdColumn, Qt::UserRole, fields.value(0)); // the id exactly as received
        rows << row;
    }
    list->addTopLevelItems(rows);
    list->setCurrentItem(nullptr);
    list->clearSelection();
}

void TfrmNews::lvwItemsChange()
{
    const QList<QTreeWidgetItem *> selected = ui->lvwItems->selectedItems();
    if (selected.isEmpty() || FBusy)
        return;
    const QByteArray newsId = selected.first()->data(IdColumn, Qt::UserRole).toByteArray();
    FBusy = true;
    setBusyCursor(true);
    // However the request ends, the window is idle again afterwards.
    const auto idle = qScopeGuard([this] {
        setBusyCursor(false);
        FBusy = false;
    });
    const auto level = NewsLevelInUse(*m_context.settings);
    if (!level)
        return;
    QByteArray body;
    if (!m_service.FetchNewsDetails(level->publisherId, m_context.settings->BranderCode,
                                    level->prodtype, "UA", newsId, body))
        return;
    ui->prfEditorNews->setAnsiHtml(body);
    SaveLastNewsId(m_context.appDir, newsId);
}

// While a body is fetched, the user cannot move the selection of the list.
bool TfrmNews::lvwItemsChanging(const QEvent *event) const
{
    if (!FBusy)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        // Escape still closes the window and Tab still leaves the list.
        return key != Qt::Key_Escape && key != Qt::Key_Tab && key != Qt::Key_Backtab;
    }
    default:
        return false;
    }
}

bool TfrmNews::eventFilter(QObject *watched, QEvent *event)
{
    if (lvwItemsChanging(event))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmNews::setBusyCursor(bool busy)
{
    for (QWidget *widget : {static_cast<QWidget *>(ui->lvwItems),
                            static_cast<QWidget *>(ui->prfEditorNews->viewport()),
                            static_cast<QWidget *>(this)}) {
        if (busy)
            widget->setCursor(Qt::WaitCursor);
        else
            widget->unsetCursor();
    }
}

void TfrmNews::btnExitClick()
{
    accept();
}

void TfrmNews::done(int result)
{
    CancelHttpWaiting(*m_context.http);
    QDialog::done(result);
}
