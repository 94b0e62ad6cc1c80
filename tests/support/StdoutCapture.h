// SPDX-License-Identifier: MIT
#pragma once

#include "Logging.h"

#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Collects what the program writes to standard output while it lives (the
// log lines are plain lines on standard output, written by the program's
// message handler, which stands in for the test runner's meanwhile). text()
// ends the capture. Standard error can be collected the same way.
class StdoutCapture
{
public:
    explicit StdoutCapture(std::FILE *stream = stdout) : m_stream(stream)
    {
        std::fflush(m_stream);
        m_file.open();
        m_saved = ::dup(::fileno(m_stream));
        ::dup2(m_file.handle(), ::fileno(m_stream));
        m_runnerHandler = Logging::installMessageHandler();
    }
    ~StdoutCapture() { text(); }
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    QString text()
    {
        if (m_saved >= 0) {
            qInstallMessageHandler(m_runnerHandler);
            std::fflush(m_stream);
            ::dup2(m_saved, ::fileno(m_stream));
            ::close(m_saved);
            m_saved = -1;
            m_file.seek(0);
            m_text = QString::fromUtf8(m_file.readAll());
        }
        return m_text;
    }

private:
    std::FILE *m_stream;
    QTemporaryFile m_file;
    int m_saved = -1;
    QString m_text;
    QtMessageHandler m_runnerHandler = nullptr;
};
