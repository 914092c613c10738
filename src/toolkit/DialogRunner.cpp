#include "toolkit/DialogRunner.h"

#include <utility>

namespace {

TDialogScript &Script()
{
    static TDialogScript script;
    return script;
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
