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
    std::unique_ptr<QTranslator> english; // the plural forms of the English texts
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
    // English is the language of the code's texts; its catalogue only gives
    // the texts with a count their singular ("1 day"). It stays under any
    // other language's catalogue, for what that one lacks.
    current.english = load(QLocale(QLocale::English), QStringLiteral("lumora"), folders);
    if (current.english)
        QCoreApplication::installTranslator(current.english.get());
    if (locale.language() == QLocale::English)
        return false;
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
    for (auto *translator : {&current.program, &current.qt, &current.english}) {
        if (*translator)
            QCoreApplication::removeTranslator(translator->get());
        translator->reset();
    }
}

} // namespace Translations
