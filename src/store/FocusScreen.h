// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "PersistentModel.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// A configured focus routine.
class FocusScreen final : public PersistentModel
{
public:
    enum Col {
        Col_name,
        Col_duration,
        Col_allowedApps,
        Col_allowedWebsites,
        Col_lockMode,
        Col_autoStartOnLogin,
        Col_sortOrder,
        Col_uuid,
        Col_createdAt,
        Col_strictModeEnabled,
        Col_strictModeType,
        Col_strictModeSentence,
        Col_strictModeAnswer,
        Col_autoOpenApp,
        Col_autoOpenURL,
        Col_overlayBackgroundType,
        Col_overlayBackgroundValue
    };

    static const EntityInfo &entityInfo();
    const EntityInfo &entity() const override { return entityInfo(); }

    const QString &name() const { return m_name; }
    double duration() const { return m_duration; }
    const QStringList &allowedApps() const { return m_allowedApps; }
    const QStringList &allowedWebsites() const { return m_allowedWebsites; }
    LockMode lockMode() const { return m_lockMode; }
    bool autoStartOnLogin() const { return m_autoStartOnLogin; }
    qint64 sortOrder() const { return m_sortOrder; }
    const QUuid &uuid() const { return m_uuid; }
    const QDateTime &createdAt() const { return m_createdAt; }
    bool strictModeEnabled() const { return m_strictModeEnabled; }
    StrictModeType strictModeType() const { return m_strictModeType; }
    const std::optional<QString> &strictModeSentence() const { return m_strictModeSentence; }
    const std::optional<QString> &strictModeAnswer() const { return m_strictModeAnswer; }
    const std::optional<QString> &autoOpenApp() const { return m_autoOpenApp; }
    const std::optional<QString> &autoOpenURL() const { return m_autoOpenURL; }
    OverlayBackgroundType overlayBackgroundType() const { return m_overlayBackgroundType; }
    const std::optional<QString> &overlayBackgroundValue() const { return m_overlayBackgroundValue; }

    void setName(const QString &value) { assign(m_name, value, Col_name); }
    void setDuration(double value) { assign(m_duration, value, Col_duration); }
    void setAllowedApps(const QStringList &value) { assign(m_allowedApps, value, Col_allowedApps); }
    void setAllowedWebsites(const QStringList &value)
    {
        assign(m_allowedWebsites, value, Col_allowedWebsites);
    }
    void setLockMode(LockMode value) { assign(m_lockMode, value, Col_lockMode); }
    void setAutoStartOnLogin(bool value) { assign(m_autoStartOnLogin, value, Col_autoStartOnLogin); }
    void setSortOrder(qint64 value) { assign(m_sortOrder, value, Col_sortOrder); }
    void setUuid(const QUuid &value) { assign(m_uuid, value, Col_uuid); }
    void setCreatedAt(const QDateTime &value) { assign(m_createdAt, value, Col_createdAt); }
    void setStrictModeEnabled(bool value) { assign(m_strictModeEnabled, value, Col_strictModeEnabled); }
    void setStrictModeType(StrictModeType value) { assign(m_strictModeType, value, Col_strictModeType); }
    void setStrictModeSentence(const std::optional<QString> &value)
    {
        assign(m_strictModeSentence, value, Col_strictModeSentence);
    }
    void setStrictModeAnswer(const std::optional<QString> &value)
    {
        assign(m_strictModeAnswer, value, Col_strictModeAnswer);
    }
    void setAutoOpenApp(const std::optional<QString> &value)
    {
        assign(m_autoOpenApp, value, Col_autoOpenApp);
    }
    void setAutoOpenURL(const std::optional<QString> &value)
    {
        assign(m_autoOpenURL, value, Col_autoOpenURL);
    }
    void setOverlayBackgroundType(OverlayBackgroundType value)
    {
        assign(m_overlayBackgroundType, value, Col_overlayBackgroundType);
    }
    void setOverlayBackgroundValue(const std::optional<QString> &value)
    {
        assign(m_overlayBackgroundValue, value, Col_overlayBackgroundValue);
    }

    // Every field but uuid and createdAt may be given; uuid is always new and
    // createdAt is always now.
    FocusScreen(const QString &name, double duration, const QStringList &allowedApps = {},
                const QStringList &allowedWebsites = {}, LockMode lockMode = LockMode::hideApps,
                bool autoStartOnLogin = false, qint64 sortOrder = 0, bool strictModeEnabled = false,
                StrictModeType strictModeType = StrictModeType::none,
                const std::optional<QString> &strictModeSentence = std::nullopt,
                const std::optional<QString> &strictModeAnswer = std::nullopt,
                const std::optional<QString> &autoOpenApp = std::nullopt,
                const std::optional<QString> &autoOpenURL = std::nullopt,
                OverlayBackgroundType overlayBackgroundType = OverlayBackgroundType::system,
                const std::optional<QString> &overlayBackgroundValue = std::nullopt);

private:
    FocusScreen() = default;
    friend struct FocusScreenColumns;
    QString m_name;
    double m_duration{};
    QStringList m_allowedApps{};
    QStringList m_allowedWebsites{};
    LockMode m_lockMode = LockMode::hideApps;
    bool m_autoStartOnLogin = false;
    qint64 m_sortOrder = 0;
    QUuid m_uuid;
    QDateTime m_createdAt;
    bool m_strictModeEnabled = false;
    StrictModeType m_strictModeType = StrictModeType::none;
    std::optional<QString> m_strictModeSentence = std::nullopt;
    std::optional<QString> m_strictModeAnswer = std::nullopt;
    std::optional<QString> m_autoOpenApp = std::nullopt;
    std::optional<QString> m_autoOpenURL = std::nullopt;
    OverlayBackgroundType m_overlayBackgroundType = OverlayBackgroundType::system;
    std::optional<QString> m_overlayBackgroundValue = std::nullopt;
};
