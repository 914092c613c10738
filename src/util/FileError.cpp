#include "util/FileError.h"

TFileError::TFileError(const QString &path, const QString &reason, const QString &plainText)
    : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), m_path(path),
      m_reason(reason), m_plainText(plainText)
{
}

QString TFileError::message() const
{
    return m_plainText.isEmpty() ? m_path + QStringLiteral(": ") + m_reason : m_plainText;
}
