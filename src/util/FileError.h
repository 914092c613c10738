#pragma once

#include <QString>
#include <stdexcept>

// A file-system failure while loading or saving: which file, and why.
class TFileError : public std::runtime_error {
public:
    // reason: the system's words; plainText, when given, says the same for the user in a
    // whole sentence ("There is not enough space on the disk to save Projects.dat.").
    TFileError(const QString &path, const QString &reason, const QString &plainText = QString());

    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }
    // The plain sentence when there is one, else "<path>: <reason>", for messages.
    QString message() const;

private:
    QString m_path;
    QString m_reason;
    QString m_plainText;
};
