#include "toolkit/DialogRunner.h"

#include <QFileDialog>
#include <QRegularExpression>

#include <utility>

namespace {

TDialogScript &Script()
{
    static TDialogScript script;
    return script;
}

TSaveFileScript &SaveFileScript()
{
    static TSaveFileScript script;
    return script;
}

// The type a filter names first: "csv" of "CSV (*.csv)".
QString SuffixOfFilter(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

} // namespace

int RunModal(QDialog &dialog)
{
    if (!Script())
        return dialog.exec();
    // Copied, so that a script that installs another one while it runs stays alive.
    const TDialogScript script = Script();
    const int result = script(dialog);
    dialog.setResult(result);
    return result;
}

void SetDialogScript(TDialogScript script)
{
    Script() = std::move(script);
}

TDialogScriptGuard::TDialogScriptGuard(TDialogScript script)
    : m_previous(std::exchange(Script(), std::move(script)))
{
}

TDialogScriptGuard::~TDialogScriptGuard()
{
    Script() = std::move(m_previous);
}

QString RunSaveFileDialog(const TSaveFileRequest &request)
{
    if (SaveFileScript())
        return TSaveFileScript(SaveFileScript())(request);
    QFileDialog dialog(request.parent, request.caption, request.suggestedPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(SuffixOfFilter(request.filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) {
                         dialog.setDefaultSuffix(SuffixOfFilter(filter));
                     });
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

TSaveFileScriptGuard::TSaveFileScriptGuard(TSaveFileScript script)
    : m_previous(std::exchange(SaveFileScript(), std::move(script)))
{
}

TSaveFileScriptGuard::~TSaveFileScriptGuard()
{
    SaveFileScript() = std::move(m_previous);
}
