// SPDX-License-Identifier: MIT
#include "CanberraSessionSound.h"

#include <QCoreApplication>

#include <canberra.h>

CanberraSessionSound::~CanberraSessionSound()
{
    if (m_context)
        ca_context_destroy(m_context);
}

void CanberraSessionSound::playComplete()
{
    if (!m_context && ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return;
    }
    const QByteArray description =
        QCoreApplication::translate("SessionSound", "Focus session complete").toUtf8();
    // Asynchronous: the sound plays on libcanberra's own thread.
    ca_context_play(m_context, 0, CA_PROP_EVENT_ID, "complete", CA_PROP_EVENT_DESCRIPTION,
                    description.constData(), CA_PROP_APPLICATION_NAME, "Lumora", nullptr);
}
