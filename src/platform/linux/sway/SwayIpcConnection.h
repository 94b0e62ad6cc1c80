// SPDX-License-Identifier: MIT
#pragma once

#include "SwayIpc.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// One connection to sway's IPC socket: requests with their replies (each
// waited for up to kReplyTimeoutMs), or a stream of subscribed events read
// when the socket says there is something to read.
class SwayIpcConnection
{
public:
    // sway answers at once; this is the limit for a busy machine.
    static constexpr int kReplyTimeoutMs = 3000;

    SwayIpcConnection() = default;
    SwayIpcConnection(const SwayIpcConnection &) = delete;
    SwayIpcConnection &operator=(const SwayIpcConnection &) = delete;
    ~SwayIpcConnection() { close(); }

    bool open(const QString &path)
    {
        close();
        const QByteArray encoded = QFile::encodeName(path);
        sockaddr_un address{};
        if (encoded.isEmpty() || encoded.size() >= qsizetype(sizeof address.sun_path))
            return false;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return false;
        if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 &&
            errno != EINPROGRESS) {
            close();
            return false;
        }
        m_decoder = {};
        return waitFor(POLLOUT, QDeadlineTimer(kReplyTimeoutMs));
    }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    bool send(quint32 type, const QByteArray &payload)
    {
        const QByteArray bytes = SwayIpc::encode(type, payload);
        const QDeadlineTimer deadline(kReplyTimeoutMs);
        qsizetype written = 0;
        while (isOpen() && written < bytes.size()) {
            const auto n =
                ::send(m_fd, bytes.constData() + written, size_t(bytes.size() - written), MSG_NOSIGNAL);
            if (n > 0) {
                written += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                if (!waitFor(POLLOUT, deadline))
                    close();
            } else {
                close();
            }
        }
        return isOpen();
    }

    // Reads what is there without waiting; false when the peer has gone.
    bool readAvailable()
    {
        char buffer[65536];
        while (isOpen()) {
            const auto n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                m_decoder.feed(QByteArray(buffer, n));
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                break;
            } else {
                close();
            }
        }
        if (m_decoder.failed())
            close();
        return isOpen();
    }

    std::optional<SwayIpc::Message> next() { return m_decoder.next(); }

    // One request and its reply; nothing when sway does not answer in time.
    std::optional<QByteArray> request(quint32 type, const QByteArray &payload)
    {
        if (!send(type, payload))
            return std::nullopt;
        const QDeadlineTimer deadline(kReplyTimeoutMs);
        while (isOpen()) {
            while (const auto message = next()) {
                if (message->type == type)
                    return message->payload;
            }
            if (!waitFor(POLLIN, deadline) || !readAvailable())
                break;
        }
        close();
        return std::nullopt;
    }

private:
    bool waitFor(short events, const QDeadlineTimer &deadline)
    {
        while (isOpen()) {
            pollfd entry{m_fd, events, 0};
            const int n = ::poll(&entry, 1, int(std::max<qint64>(deadline.remainingTime(), 0)));
            if (n < 0 && errno == EINTR)
                continue;
            return n > 0 && (entry.revents & events) != 0;
        }
        return false;
    }

    int m_fd = -1;
    SwayIpc::Decoder m_decoder;
};
