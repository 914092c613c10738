#include "util/FileError.h"

TFileError::TFileError(const QString &path, const QString &reason)
    : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), m_path(path),
      m_reason(reason)
{
}

QString TFileError::message() const
{
    return m_path + QStringLiteral(": ") + m_reason;
}
