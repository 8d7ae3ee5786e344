#pragma once

#include <QString>

#include <exception>
#include <string>

namespace tolvane {

// An error that the operation raising it does not handle. It carries the German text that the
// generic error box shows; the application catches it in one place and keeps running.
class TolvaneError : public std::exception {
public:
    explicit TolvaneError(QString text) : m_text(std::move(text)), m_utf8(m_text.toStdString()) {}
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_text;
    std::string m_utf8;
};

// A failed file operation, with the text of its error code (the codes of Windows' run-time
// library: 2 not found, 3 invalid name, 4 too many files, 5 access denied, 100 end of file,
// 101 disk full, 106 invalid numeric input, anything else "E/A-Fehler N").
class FileError : public TolvaneError {
public:
    enum Code { NotFound = 2, InvalidName = 3, TooManyFiles = 4, AccessDenied = 5, EndOfFile = 100,
                DiskFull = 101, InvalidNumber = 106 };

    explicit FileError(int code) : TolvaneError(textFor(code)), m_code(code) {}
    int code() const { return m_code; }

    static QString textFor(int code);
    // Maps an errno value of this platform onto the codes above.
    static int codeFromErrno(int err);

private:
    int m_code;
};

} // namespace tolvane
