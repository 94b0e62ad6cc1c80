// SPDX-License-Identifier: MIT
#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

struct Installed
{
    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> qt;
};

Installed &installed()
{
    static Installed current;
    return current;
}

// The catalogue named `name` for `locale` from the first folder that has a
// readable one; a file that does not load (truncated, not a catalogue) is
// passed over.
std::unique_ptr<QTranslator> load(const QLocale &locale, const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(locale, name, QStringLiteral("_"), folder) && !translator->isEmpty())
            return translator;
    }
    return nullptr;
}

} // namespace

namespace Translations {

QStringList defaultFolders()
{
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/../share/lumora/translations"));
    folders << QStringLiteral(":/i18n");
    return folders;
}

bool install(const QLocale &locale, const QStringList &folders)
{
    remove();
    QLocale::setDefault(locale);
    Installed &current = installed();
    current.program = load(locale, QStringLiteral("lumora"), folders);
    if (!current.program)
        return false;
    QCoreApplication::installTranslator(current.program.get());
    // Qt's own texts (standard buttons, key names in menus) in the same
    // language, when the system has them; they are optional.
    current.qt = load(locale, QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
    if (current.qt)
        QCoreApplication::installTranslator(current.qt.get());
    return true;
}

void remove()
{
    Installed &current = installed();
    for (auto *translator : {&current.program, &current.qt}) {
        if (*translator)
            QCoreApplication::removeTranslator(translator->get());
        translator->reset();
    }
}

} // namespace Translations
