// SPDX-License-Identifier: MIT
#include "NativeMessaging.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cstring>

namespace NativeMessaging {

namespace {

constexpr qsizetype kPrefix = sizeof(quint32);

QString tr(const char *text)
{
    return QCoreApplication::translate("NativeMessaging", text);
}

} // namespace

QByteArray frame(const QJsonObject &message)
{
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    if (body.size() > kMaxOutgoing)
        return {};
    const quint32 length = quint32(body.size());
    QByteArray out(kPrefix, Qt::Uninitialized);
    std::memcpy(out.data(), &length, kPrefix);
    return out + body;
}

QList<Reader::Item> Reader::feed(QByteArrayView bytes)
{
    QList<Item> out;
    while (!bytes.isEmpty()) {
        if (m_skipping > 0) {
            const qsizetype n = qsizetype(qMin<quint64>(m_skipping, quint64(bytes.size())));
            m_skipping -= quint64(n);
            bytes = bytes.sliced(n);
            continue;
        }
        if (!m_length) {
            const qsizetype n = qMin(kPrefix - m_buffer.size(), bytes.size());
            m_buffer.append(bytes.first(n));
            bytes = bytes.sliced(n);
            if (m_buffer.size() < kPrefix)
                break;
            quint32 length = 0;
            std::memcpy(&length, m_buffer.constData(), kPrefix);
            m_buffer.clear();
            if (length > kMaxIncoming) {
                out.append({{},
                            tr("a message of %1 bytes is longer than the %2 bytes a message may have; it is "
                               "skipped")
                                .arg(length)
                                .arg(kMaxIncoming)});
                m_skipping = length;
                continue;
            }
            m_length = length;
        }
        const qsizetype n = qMin(qsizetype(*m_length) - m_buffer.size(), bytes.size());
        m_buffer.append(bytes.first(n));
        bytes = bytes.sliced(n);
        if (m_buffer.size() < qsizetype(*m_length))
            break;
        QJsonParseError parse{};
        const QJsonDocument document = QJsonDocument::fromJson(m_buffer, &parse);
        if (parse.error != QJsonParseError::NoError)
            out.append({{},
                        tr("a message of %1 bytes is not JSON (%2); it is skipped")
                            .arg(m_buffer.size())
                            .arg(parse.errorString())});
        else if (!document.isObject())
            out.append({{}, tr("a message is not a JSON object; it is skipped")});
        else
            out.append({document.object(), {}});
        m_buffer.clear();
        m_length.reset();
    }
    return out;
}

QString Reader::errorAtEnd() const
{
    if (m_skipping > 0)
        return tr("the pipe closed %1 bytes before the end of a message that was being skipped")
            .arg(m_skipping);
    if (m_length)
        return tr("the pipe closed in the middle of a message (%1 of %2 bytes)")
            .arg(m_buffer.size())
            .arg(*m_length);
    if (!m_buffer.isEmpty())
        return tr("the pipe closed in the middle of a length prefix (%1 of 4 bytes)").arg(m_buffer.size());
    return {};
}

} // namespace NativeMessaging
