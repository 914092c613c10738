#pragma once

#include <QString>
#include <stdexcept>

// A file-system failure while loading or saving: which file, and why.
class TFileError : public std::runtime_error {
public:
    TFileError(const QString &path, const QString &reason);

    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }
    // "<path>: <reason>", for messages.
    QString message() const;

private:
    QString m_path;
    QString m_reason;
};
