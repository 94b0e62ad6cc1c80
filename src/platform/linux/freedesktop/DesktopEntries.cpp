// SPDX-License-Identifier: MIT
#include "DesktopEntries.h"

#include "AppIdentity.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <functional>

namespace {

// A desktop entry is a few kilobytes; anything far larger is not one, and
// reading it whole would only waste memory.
constexpr qint64 kMaxEntryFileSize = 1024 * 1024;

// No file path is longer (PATH_MAX); a longer id cannot name an entry.
constexpr qsizetype kMaxIdLength = 4096;

const QString kDesktopSuffix = QStringLiteral(".desktop");

struct ParsedEntry
{
    QString type;
    QString name;
    QString iconName;
    QString exec;
    QString startupWMClass;
    bool noDisplay = false;
    bool hidden = false;
};

// Locale keys to look for, best first: lang_COUNTRY@MODIFIER, lang_COUNTRY,
// lang@MODIFIER, lang (the matching order of the desktop-entry rules).
QStringList localeCandidates()
{
    QString posix;
    for (const char *var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        posix = qEnvironmentVariable(var);
        if (!posix.isEmpty())
            break;
    }
    if (posix.isEmpty())
        posix = QLocale::system().name();
    if (posix == QLatin1String("C") || posix == QLatin1String("POSIX") ||
        posix.startsWith(QLatin1String("C.")))
        return {};

    QString modifier;
    if (const qsizetype at = posix.indexOf(QLatin1Char('@')); at >= 0) {
        modifier = posix.mid(at + 1);
        posix.truncate(at);
    }
    if (const qsizetype dot = posix.indexOf(QLatin1Char('.')); dot >= 0)
        posix.truncate(dot);
    QString lang = posix;
    QString country;
    if (const qsizetype us = posix.indexOf(QLatin1Char('_')); us >= 0) {
        lang = posix.left(us);
        country = posix.mid(us + 1);
    }
    if (lang.isEmpty())
        return {};

    QStringList out;
    if (!country.isEmpty() && !modifier.isEmpty())
        out << lang + QLatin1Char('_') + country + QLatin1Char('@') + modifier;
    if (!country.isEmpty())
        out << lang + QLatin1Char('_') + country;
    if (!modifier.isEmpty())
        out << lang + QLatin1Char('@') + modifier;
    out << lang;
    return out;
}

// The escapes of string values: \s \n \t \r \\. Any other backslash stays.
QString unescapeValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[i + 1];
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            out += c;
            out += next;
            break;
        }
        ++i;
    }
    return out;
}

bool isKeyChar(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

bool isLocaleChar(QChar c)
{
    return isKeyChar(c) || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('.');
}

// Splits "Key[locale]" into key and locale; false for a malformed key.
bool splitKey(QStringView full, QString &key, QString &locale)
{
    qsizetype bracket = full.indexOf(QLatin1Char('['));
    QStringView base = bracket < 0 ? full : full.left(bracket);
    if (base.isEmpty() || !std::all_of(base.begin(), base.end(), isKeyChar))
        return false;
    key = base.toString();
    locale.clear();
    if (bracket < 0)
        return true;
    if (!full.endsWith(QLatin1Char(']')))
        return false;
    QStringView loc = full.mid(bracket + 1, full.size() - bracket - 2);
    if (loc.isEmpty() || !std::all_of(loc.begin(), loc.end(), isLocaleChar))
        return false;
    locale = loc.toString();
    return true;
}

std::optional<ParsedEntry> parseFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > kMaxEntryFileSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(file.read(kMaxEntryFileSize));

    const QStringList locales = localeCandidates();
    ParsedEntry entry;
    QSet<QString> seenKeys;
    int bestNameRank = -1; // index into locales + 1 for the plain key; lower is better once set
    QString plainName;
    bool havePlainName = false;
    bool inGroup = false;
    bool groupSeen = false;

    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                continue;
            const bool isMain = line == QLatin1String("[Desktop Entry]");
            inGroup = isMain && !groupSeen;
            groupSeen = groupSeen || isMain;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        QString key;
        QString locale;
        if (!splitKey(line.left(eq).trimmed(), key, locale))
            continue;
        const QString fullKey = line.left(eq).trimmed().toString();
        if (seenKeys.contains(fullKey))
            continue; // duplicate key: the first one counts
        seenKeys.insert(fullKey);
        const QStringView rawValue = line.mid(eq + 1).trimmed();

        if (key == QLatin1String("Name")) {
            if (locale.isEmpty()) {
                plainName = unescapeValue(rawValue);
                havePlainName = true;
            } else if (const qsizetype rank = locales.indexOf(locale); rank >= 0) {
                if (bestNameRank < 0 || rank < bestNameRank) {
                    bestNameRank = int(rank);
                    entry.name = unescapeValue(rawValue);
                }
            }
            continue;
        }
        if (!locale.isEmpty())
            continue;
        if (key == QLatin1String("Type"))
            entry.type = unescapeValue(rawValue);
        else if (key == QLatin1String("Icon"))
            entry.iconName = unescapeValue(rawValue);
        else if (key == QLatin1String("Exec"))
            entry.exec = unescapeValue(rawValue);
        else if (key == QLatin1String("StartupWMClass"))
            entry.startupWMClass = unescapeValue(rawValue);
        else if (key == QLatin1String("NoDisplay"))
            entry.noDisplay = rawValue == QLatin1String("true");
        else if (key == QLatin1String("Hidden"))
            entry.hidden = rawValue == QLatin1String("true");
    }
    if (!groupSeen || !havePlainName)
        return std::nullopt; // Name is required; without it this is no entry
    if (bestNameRank < 0 || entry.name.isEmpty())
        entry.name = plainName;
    return entry;
}

// A usable application entry for `find`: Type=Application, not Hidden, named.
std::optional<DesktopEntry> toApplication(const QString &id, const QString &path)
{
    const auto parsed = parseFile(path);
    if (!parsed || parsed->type != QLatin1String("Application") || parsed->hidden || parsed->name.isEmpty())
        return std::nullopt;
    return DesktopEntry{id, parsed->name, parsed->iconName, parsed->exec, path, parsed->startupWMClass};
}

// "<rest>.desktop" in dir, or, for each "-" in rest whose left part names a
// subfolder, the remainder inside that subfolder.
QString resolveInDir(const QString &dir, const QString &rest)
{
    const QString direct = dir + QLatin1Char('/') + rest + kDesktopSuffix;
    if (QFileInfo(direct).isFile())
        return direct;
    for (qsizetype dash = rest.indexOf(QLatin1Char('-')); dash > 0;
         dash = rest.indexOf(QLatin1Char('-'), dash + 1)) {
        const QString sub = dir + QLatin1Char('/') + rest.left(dash);
        if (dash + 1 < rest.size() && QFileInfo(sub).isDir()) {
            const QString found = resolveInDir(sub, rest.mid(dash + 1));
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

QString idForPath(const QString &path)
{
    const QString canonical = QFileInfo(path).absoluteFilePath();
    for (const QString &dir : DesktopEntries::applicationDirs()) {
        const QString prefix = dir + QLatin1Char('/');
        if (canonical.startsWith(prefix)) {
            QString rel = canonical.mid(prefix.size());
            rel.chop(kDesktopSuffix.size());
            return rel.replace(QLatin1Char('/'), QLatin1Char('-'));
        }
    }
    QString base = QFileInfo(path).fileName();
    base.chop(kDesktopSuffix.size());
    return base;
}

QStringList dataDirs()
{
    QStringList out;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty() || QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.local/share");
    out << QDir::cleanPath(home);
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share/:/usr/share/");
    for (const QString &d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(d))
            out << QDir::cleanPath(d);
    }
    out.removeDuplicates();
    return out;
}

// Every application entry of the folders (Hidden ones left out, NoDisplay
// ones kept and marked), one per id, first folder first. Files are parsed
// again only when they change, so asking often stays cheap. File times are
// coarse: a file changed in the last moments is always read again.
struct IndexedEntry
{
    DesktopEntry entry;
    bool noDisplay = false;
};

QList<IndexedEntry> applicationIndex()
{
    struct Cached
    {
        QDateTime modified;
        qint64 size = -1;
        std::optional<IndexedEntry> entry;
    };
    static QHash<QString, Cached> cache;
    // Names are read for the locale: another locale reads every file again.
    static QStringList cachedLocales;
    if (const QStringList locales = localeCandidates(); locales != cachedLocales) {
        cache.clear();
        cachedLocales = locales;
    }

    constexpr qint64 settledMs = 2000;
    const QDateTime settled = QDateTime::currentDateTimeUtc().addMSecs(-settledMs);
    QList<IndexedEntry> out;
    QSet<QString> seen;
    QSet<QString> listed;
    for (const QString &dir : DesktopEntries::applicationDirs()) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList paths;
        while (it.hasNext())
            paths << it.next();
        paths.sort(); // a stable order, so duplicates within one folder resolve the same way every time
        for (const QString &path : paths) {
            QString rel = path.mid(dir.size() + 1);
            rel.chop(kDesktopSuffix.size());
            const QString id = rel.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (id.isEmpty() || seen.contains(id))
                continue;
            seen.insert(id);
            listed.insert(path);
            const QFileInfo info(path);
            Cached &cached = cache[path];
            const QDateTime modified = info.lastModified().toUTC();
            if (cached.size != info.size() || cached.modified != modified || modified >= settled) {
                cached.size = info.size();
                cached.modified = modified;
                cached.entry.reset();
                const auto parsed = parseFile(path);
                if (parsed && parsed->type == QLatin1String("Application") && !parsed->hidden &&
                    !parsed->name.isEmpty()) {
                    cached.entry = IndexedEntry{DesktopEntry{id, parsed->name, parsed->iconName, parsed->exec,
                                                             path, parsed->startupWMClass},
                                                parsed->noDisplay};
                }
            }
            if (cached.entry)
                out.append(*cached.entry);
        }
    }
    cache.removeIf([&](const QHash<QString, Cached>::iterator &it) { return !listed.contains(it.key()); });
    return out;
}

// The program an Exec line starts, without its folder ("env A=1 prog" gives prog).
QString programName(const DesktopEntry &entry)
{
    const QStringList args = DesktopEntries::execArguments(entry);
    qsizetype i = 0;
    if (!args.isEmpty() && QFileInfo(args.first()).fileName() == QLatin1String("env")) {
        for (i = 1; i < args.size(); ++i) {
            if (!args[i].contains(QLatin1Char('=')) && !args[i].startsWith(QLatin1Char('-')))
                break;
        }
    }
    return i < args.size() ? QFileInfo(args[i]).fileName() : QString();
}

} // namespace

namespace DesktopEntries {

QStringList identities(const DesktopEntry &entry)
{
    QStringList out{entry.id};
    if (!entry.startupWMClass.isEmpty())
        out << entry.startupWMClass;
    if (const QString program = programName(entry); !program.isEmpty())
        out << program;
    return out;
}

std::optional<DesktopEntry> findByIdentity(const QString &name)
{
    if (auto exact = find(name))
        return exact;
    const QString wanted = AppIdentity::normalized(name);
    if (wanted.isEmpty())
        return std::nullopt;
    const QList<IndexedEntry> index = applicationIndex();
    // By id, then by window class, then by program; shown entries first.
    const std::function<bool(const DesktopEntry &)> rules[] = {
        [&](const DesktopEntry &e) { return AppIdentity::normalized(e.id) == wanted; },
        [&](const DesktopEntry &e) {
            return !e.startupWMClass.isEmpty() && AppIdentity::normalized(e.startupWMClass) == wanted;
        },
        [&](const DesktopEntry &e) { return AppIdentity::normalized(programName(e)) == wanted; },
    };
    for (const auto &rule : rules) {
        for (const bool hiddenFromMenus : {false, true}) {
            for (const IndexedEntry &indexed : index) {
                if (indexed.noDisplay == hiddenFromMenus && rule(indexed.entry))
                    return indexed.entry;
            }
        }
    }
    return std::nullopt;
}

QList<DesktopEntry> entriesFor(const QStringList &names)
{
    const QSet<QString> wanted = AppIdentity::normalizedSet(names);
    if (wanted.isEmpty())
        return {};
    QList<DesktopEntry> byName;
    QList<DesktopEntry> byProgram;
    QList<DesktopEntry> hiddenByName;
    QList<DesktopEntry> hiddenByProgram;
    for (const IndexedEntry &indexed : applicationIndex()) {
        const DesktopEntry &e = indexed.entry;
        const bool classKnown = !e.startupWMClass.isEmpty();
        const bool classMatches = classKnown && wanted.contains(AppIdentity::normalized(e.startupWMClass));
        if (wanted.contains(AppIdentity::normalized(e.id)) || classMatches) {
            (indexed.noDisplay ? hiddenByName : byName).append(e);
        } else if (!classKnown && wanted.contains(AppIdentity::normalized(programName(e)))) {
            (indexed.noDisplay ? hiddenByProgram : byProgram).append(e);
        }
    }
    return byName + byProgram + hiddenByName + hiddenByProgram;
}

QStringList applicationDirs()
{
    QStringList out;
    for (const QString &d : dataDirs())
        out << (d == QLatin1String("/") ? QString() : d) + QStringLiteral("/applications");
    return out;
}

std::optional<DesktopEntry> find(const QString &id)
{
    if (id.isEmpty() || id.size() > kMaxIdLength || id.contains(QChar(0)))
        return std::nullopt;
    if (QDir::isAbsolutePath(id)) {
        if (!id.endsWith(kDesktopSuffix))
            return std::nullopt;
        return toApplication(idForPath(id), id);
    }
    if (id.contains(QLatin1Char('/')))
        return std::nullopt;
    QString bare = id;
    if (bare.endsWith(kDesktopSuffix))
        bare.chop(kDesktopSuffix.size());
    if (bare.isEmpty())
        return std::nullopt;
    for (const QString &dir : applicationDirs()) {
        const QString path = resolveInDir(dir, bare);
        if (!path.isEmpty())
            return toApplication(bare, path); // the first folder that has the id decides
    }
    return std::nullopt;
}

QList<DesktopEntry> installedApplications()
{
    QList<DesktopEntry> out;
    for (const IndexedEntry &indexed : applicationIndex())
        if (!indexed.noDisplay)
            out.append(indexed.entry);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(out.begin(), out.end(), [&](const DesktopEntry &a, const DesktopEntry &b) {
        const int byName = collator.compare(a.name, b.name);
        return byName != 0 ? byName < 0 : a.id < b.id;
    });
    return out;
}

QIcon icon(const DesktopEntry &entry)
{
    const QString name = entry.iconName;
    if (name.isEmpty() || name.contains(QChar(0)))
        return {};
    if (QDir::isAbsolutePath(name)) {
        if (QFileInfo(name).isFile() && QImageReader(name).canRead())
            return QIcon(name);
        return {};
    }
    if (name.contains(QLatin1Char('/')))
        return {};
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    // Some entries name the icon with its file extension, which themes do not use.
    static const QStringList extensions = {QStringLiteral(".png"), QStringLiteral(".svg"),
                                           QStringLiteral(".xpm")};
    QString stem = name;
    for (const QString &ext : extensions) {
        if (name.endsWith(ext, Qt::CaseInsensitive)) {
            stem.chop(ext.size());
            if (!stem.isEmpty() && QIcon::hasThemeIcon(stem))
                return QIcon::fromTheme(stem);
            break;
        }
    }
    for (const QString &dir : dataDirs()) {
        const QString base = dir + QStringLiteral("/pixmaps/");
        QStringList candidates{base + name};
        for (const QString &ext : extensions)
            candidates << base + stem + ext;
        for (const QString &file : candidates) {
            if (QFileInfo(file).isFile() && QImageReader(file).canRead())
                return QIcon(file);
        }
    }
    return {};
}

QStringList execArguments(const DesktopEntry &entry)
{
    const QString &exec = entry.exec;
    QStringList args;
    QString current;
    bool inArgument = false; // something (text or quotes) started an argument
    bool keep = false;       // the argument holds text or was quoted, so it survives field-code removal
    bool inQuotes = false;

    const auto finish = [&] {
        if (inArgument && keep)
            args << current;
        current.clear();
        inArgument = keep = false;
    };

    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == QLatin1Char('%')) {
            if (i + 1 >= exec.size())
                return {}; // a lone "%" at the end is not a field code
            const QChar code = exec[++i];
            inArgument = true;
            if (code == QLatin1Char('%')) {
                current += QLatin1Char('%');
                keep = true;
            }
            continue; // any other field code expands to nothing here
        }
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('\\')) {
                if (i + 1 >= exec.size())
                    return {};
                const QChar next = exec[++i];
                if (next != QLatin1Char('"') && next != QLatin1Char('`') && next != QLatin1Char('$') &&
                    next != QLatin1Char('\\'))
                    current += c;
                current += next;
            } else {
                current += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            finish();
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            inArgument = keep = true;
        } else {
            current += c;
            inArgument = keep = true;
        }
    }
    if (inQuotes)
        return {};
    finish();
    return args;
}

} // namespace DesktopEntries
