#include "export/ProjectSheet.h"

#include "model/UProjects.h"
#include "util/CodePage.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <array>

namespace {

constexpr int kColumns = 5;
// Each column's share of the page's width.
constexpr std::array<double, kColumns> kShares = {0.08, 0.30, 0.36, 0.13, 0.13};
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere;

using TRow = std::array<QString, kColumns>;

QString ProgressText(const TProject &project)
{
    return QStringLiteral("%1/%2 tasks  %3%")
        .arg(project.DoneCount())
        .arg(project.Tasks.count())
        .arg(project.PercentDone());
}

TRow TaskRow(const TTasks &tasks, int i)
{
    return {tasks.done(i) ? QStringLiteral("Yes") : QString(),
            FromAnsi(tasks.description(i)), FromAnsi(tasks.notes(i)),
            FromAnsi(tasks.startDate(i)), FromAnsi(tasks.endDate(i))};
}

// Lays out the pages on one painter: where the next row goes, and when a page is full.
class TSheetPainter {
public:
    TSheetPainter(QPagedPaintDevice &device, QPainter &painter)
        : m_device(device), m_painter(painter), m_font(painter.font()),
          m_bold(painter.font()), m_title(painter.font())
    {
        m_font.setPointSizeF(9);
        m_bold.setPointSizeF(9);
        m_bold.setBold(true);
        m_title.setPointSizeF(14);
        m_title.setBold(true);
        m_width = device.width();
        m_height = device.height();
        m_gap = QFontMetricsF(m_font, &device).height() * 0.3;
    }

    void project(const TProject &project, bool first, std::atomic<qint64> *progress)
    {
        if (!first)
            newPage(false);
        headerLine(m_title, FromAnsi(project.Name));
        headerLine(m_font, QStringLiteral("Start Date:  ") + FromAnsi(project.StartDate));
        headerLine(m_font, QStringLiteral("End Date:  ") + FromAnsi(project.EndDate));
        headerLine(m_font, ProgressText(project));
        m_y += m_gap;
        tableHeader();
        qint64 pending = 0;
        for (int i = 0; i < project.Tasks.count(); ++i) {
            row(TaskRow(project.Tasks, i), m_font);
            if (progress && ++pending == 256) {
                progress->fetch_add(pending, std::memory_order_relaxed);
                pending = 0;
            }
        }
        if (progress)
            progress->fetch_add(pending, std::memory_order_relaxed);
    }

private:
    void headerLine(const QFont &font, const QString &text)
    {
        m_painter.setFont(font);
        const QRectF box(0, m_y, m_width, m_height);
        const QRectF used = m_painter.boundingRect(box, kTextFlags, text);
        m_painter.drawText(box, kTextFlags, text);
        m_y += used.height();
    }

    void tableHeader()
    {
        row({QStringLiteral("Done"), QStringLiteral("Task Description"),
             QStringLiteral("Task Notes"), QStringLiteral("Start Date"),
             QStringLiteral("End Date")},
            m_bold, false);
    }

    void newPage(bool withTableHeader)
    {
        m_device.newPage();
        m_y = 0;
        if (withTableHeader)
            tableHeader();
    }

    double rowHeight(const TRow &cells) const
    {
        double tallest = 0;
        double x = 0;
        for (int c = 0; c < kColumns; ++c) {
            const double w = m_width * kShares[c];
            const QRectF box(x + m_gap, 0, w - 2 * m_gap, 1e9);
            tallest = qMax(tallest, m_painter.boundingRect(box, kTextFlags, cells[c]).height());
            x += w;
        }
        return tallest + 2 * m_gap;
    }

    // Paints one row; a row that does not fit goes on the next page, and one taller than a
    // page is continued over as many as it needs.
    void row(const TRow &cells, const QFont &font, bool repeatHeader = true)
    {
        m_painter.setFont(font);
        const double height = rowHeight(cells);
        if (m_y + height > m_height && m_y > 0)
            newPage(repeatHeader);
        double shown = 0; // of the row's height, already on earlier pages
        while (true) {
            paintCells(cells, m_y - shown, height);
            const double room = m_height - m_y;
            if (height - shown <= room) {
                m_y += height - shown;
                break;
            }
            shown += room;
            newPage(false);
        }
    }

    void paintCells(const TRow &cells, double top, double height)
    {
        m_painter.save();
        m_painter.setClipRect(QRectF(0, m_y, m_width, m_height - m_y));
        double x = 0;
        for (int c = 0; c < kColumns; ++c) {
            const double w = m_width * kShares[c];
            m_painter.drawText(QRectF(x + m_gap, top + m_gap, w - 2 * m_gap, height), kTextFlags,
                               cells[c]);
            m_painter.drawRect(QRectF(x, top, w, height));
            x += w;
        }
        m_painter.restore();
    }

    QPagedPaintDevice &m_device;
    QPainter &m_painter;
    QFont m_font;
    QFont m_bold;
    QFont m_title;
    double m_width = 0;
    double m_height = 0;
    double m_gap = 0;
    double m_y = 0;
};

} // namespace

bool PaintProjectSheets(QPagedPaintDevice &device, const QList<const TProject *> &projects,
                        std::atomic<qint64> *progress)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setPen(QPen(Qt::black, 0));
    TSheetPainter sheet(device, painter);
    for (int p = 0; p < projects.size(); ++p)
        sheet.project(*projects.at(p), p == 0, progress);
    return painter.end();
}
