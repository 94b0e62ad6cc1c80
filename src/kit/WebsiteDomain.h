// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The allowed websites of a focus screen name domains. The list keeps what
// the user typed; what a browser is told is each entry's domain: trimmed,
// in lower case, without a scheme, user, port, path, a leading "www." or
// "*.", international names in their ASCII (punycode) form. A domain allows
// itself and every subdomain ("github.com" allows "gist.github.com", not
// "notgithub.com"). An entry that names no domain is left out.
namespace WebsiteDomain {

// The domain an entry names, or nothing when it names none.
std::optional<QString> normalized(QStringView entry);
// The domains of a list in order, each once, entries that name none left out.
QStringList domains(const QStringList &entries);
// The entries that name no domain, as typed (trimmed), in order.
QStringList invalidEntries(const QStringList &entries);

} // namespace WebsiteDomain
