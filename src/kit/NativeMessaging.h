// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// The framing browsers use to talk to a native-messaging host over its
// standard input and output: each message is a JSON object in UTF-8 after
// its length in bytes, a 32-bit unsigned number in the machine's byte order.
namespace NativeMessaging {

// The longest message a host sends (browsers refuse longer ones).
constexpr qsizetype kMaxOutgoing = 1024 * 1024;
// The longest message the host reads; a browser extension's requests are a
// few hundred bytes.
constexpr quint32 kMaxIncoming = 64 * 1024;

// One message framed for the browser; empty when it would be too long.
QByteArray frame(const QJsonObject &message);

// Takes the browser's bytes as they come and cuts them into messages. A
// message that is too long is skipped without being kept in memory; one
// that is not a JSON object is skipped; either is reported as an error and
// reading goes on with the next frame.
class Reader
{
public:
    struct Item
    {
        QJsonObject message; // when error is empty
        QString error;
    };

    // The messages and errors completed by these bytes, in order.
    QList<Item> feed(QByteArrayView bytes);
    // The error to report when the pipe closes now: empty unless a message
    // was cut off.
    QString errorAtEnd() const;

private:
    QByteArray m_buffer;
    // The frame being read (its length known) or skipped.
    std::optional<quint32> m_length;
    quint64 m_skipping = 0;
};

} // namespace NativeMessaging
