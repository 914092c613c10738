#include "shell/SaveChanges.h"

#include "model/SaveTransaction.h"
#include "model/UProjects.h"
#include "toolkit/MessageBox.h"
#include "util/FileError.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>
#include <memory>

namespace {

// A save shorter than this shows only the busy cursor.
constexpr int kProgressDelayMs = 300;
constexpr int kProgressStepMs = 50;

// Swallows the user's input to one window and its children (not to other windows, such as
// the progress dialog), and shows the busy cursor, while it lives. Painting, timers and
// everything else go on.
class TInputBlock : public QObject {
public:
    explicit TInputBlock(QWidget &window) : m_window(window)
    {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~TInputBlock() override
    {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!IsInput(event->type()) || !watched->isWidgetType())
            return false;
        const auto *widget = static_cast<QWidget *>(watched);
        return widget == &m_window || m_window.isAncestorOf(widget);
    }

private:
    static bool IsInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

    QWidget &m_window;
};

// The progress of a long save, in a window-modal dialog without buttons. It appears only
// once the save has taken a while.
class TSaveProgress {
public:
    TSaveProgress(QWidget &window, const std::atomic<qint64> &written, qint64 expected)
        : m_window(window), m_written(written), m_expected(expected)
    {
        m_clock.start();
        m_timer.setInterval(kProgressStepMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
        m_timer.start();
    }
    ~TSaveProgress() { delete m_dialog; }

private:
    void step()
    {
        if (!m_dialog && m_clock.elapsed() >= kProgressDelayMs)
            open();
        if (!m_dialog)
            return;
        const qint64 kib = m_written.load(std::memory_order_relaxed) / 1024;
        if (m_dialog->maximum() > 0)
            m_dialog->setValue(int(qMin<qint64>(kib, m_dialog->maximum() - 1)));
    }
    void open()
    {
        m_dialog = new QProgressDialog(&m_window);
        m_dialog->setObjectName(QStringLiteral("dlgSaveProgress"));
        m_dialog->setWindowTitle(m_window.windowTitle());
        m_dialog->setLabelText(QStringLiteral("Saving your changes..."));
        m_dialog->setCancelButton(nullptr);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        // Without a size to go by, the bar only shows that the save goes on.
        m_dialog->setRange(0, m_expected > 0 ? int(qMin<qint64>(m_expected / 1024 + 1, INT_MAX))
                                             : 0);
        m_dialog->show();
    }

    QWidget &m_window;
    const std::atomic<qint64> &m_written;
    qint64 m_expected;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace

TSaveChanges::TSaveChanges(QWidget &window, TMessageBox &msgMain, TProjects &projects,
                           THours &hours)
    : m_window(window), m_msgMain(msgMain), m_projects(projects), m_hours(hours)
{
}

bool TSaveChanges::run()
{
    if (m_running)
        return false;
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });

    TSaveTransaction transaction;
    AddDataFiles(transaction, m_projects, m_hours);

    std::atomic<qint64> written{0};
    std::exception_ptr failure;
    {
        const TInputBlock block(m_window);
        const TSaveProgress progress(m_window, written, transaction.expectedBytes());
        QEventLoop loop;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            try {
                transaction.run(&written);
            } catch (...) {
                failure = std::current_exception();
            }
        }));
        QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        worker->start();
        loop.exec();
        worker->wait();
    }

    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const TFileError &error) {
            m_msgMain.show(error.message()
                               + QStringLiteral("\n\nNo file was changed, and your changes are "
                                                "still here."),
                           QMessageBox::Warning, QMessageBox::Ok);
            return false;
        }
    }

    QStringList untouched;
    bool readOnlyLeft = false;
    for (const TSaveTransaction::TSkipped &skipped : transaction.skipped()) {
        untouched << skipped.text;
        readOnlyLeft = readOnlyLeft || skipped.readOnly;
    }
    if (!untouched.isEmpty())
        m_msgMain.show(QStringLiteral("Your changes were saved, except:\n\n")
                           + untouched.join(QStringLiteral("\n\n")),
                       readOnlyLeft ? QMessageBox::Warning : QMessageBox::Information,
                       QMessageBox::Ok);
    return !readOnlyLeft;
}

QString TSaveChanges::damagedFilesReport() const
{
    constexpr int kLinesPerFile = 20;
    QStringList parts;
    const auto add = [&parts](const QString &path, const TDataFileState &state) {
        if (state.drops.isEmpty())
            return;
        QString part = QFileInfo(path).fileName() + QLatin1Char('\n');
        for (const QString &line : DescribeDrops(state, kLinesPerFile))
            part += QStringLiteral("  ") + line + QLatin1Char('\n');
        part += QStringLiteral("  Before \"Save Changes\" replaces it, the file is kept as it is "
                               "now as %1.")
                    .arg(QFileInfo(state.backupPath).fileName());
        parts << part;
    };
    add(m_projects.CategoriesPath(), m_projects.CategoriesState());
    add(m_projects.ProjectsPath(), m_projects.ProjectsState());
    add(m_hours.HoursPath(), m_hours.HoursState());
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("Some data files are damaged. Everything that could be read was "
                          "loaded; these parts were left out:\n\n")
         + parts.join(QStringLiteral("\n\n"));
}
