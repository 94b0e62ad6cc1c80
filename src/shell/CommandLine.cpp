// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "FocusSessionManager.h"
#include "Version.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Whole minutes from 1 to the limit, digits only; nothing otherwise.
std::optional<int> parseMinutes(const QString &text)
{
    if (text.isEmpty() || text.size() > 6 ||
        !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int minutes = text.toInt();
    if (minutes < 1 || minutes > FocusSessionManager::kMaxExtendMinutes)
        return std::nullopt;
    return minutes;
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine cmd;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--selftest")) {
            cmd.selfTest = true;
        } else if (arg == QLatin1String("--popover")) {
            cmd.showPopover = true;
        } else if (arg == QLatin1String("--open")) {
            cmd.openMainWindow = true;
        } else if (arg == QLatin1String("--status")) {
            cmd.status = true;
        } else if (arg == QLatin1String("--login")) {
            cmd.login = true;
        } else if (arg == QLatin1String("--start")) {
            if (i + 1 >= arguments.size()) {
                cmd.error =
                    QCoreApplication::translate("CommandLine", "--start needs the name of a focus screen");
                return cmd;
            }
            cmd.startScreen = arguments.at(++i);
        } else if (arg.startsWith(QLatin1String("--start="))) {
            cmd.startScreen = arg.mid(8);
        } else if (arg == QLatin1String("--stop")) {
            cmd.stop = true;
        } else if (arg.startsWith(QLatin1String("--stop="))) {
            cmd.stop = true;
            cmd.stopScreen = arg.mid(7);
        } else if (arg == QLatin1String("--extend") || arg.startsWith(QLatin1String("--extend="))) {
            QString value;
            if (arg == QLatin1String("--extend")) {
                if (i + 1 >= arguments.size()) {
                    cmd.error =
                        QCoreApplication::translate("CommandLine", "--extend needs a number of minutes");
                    return cmd;
                }
                value = arguments.at(++i);
            } else {
                value = arg.mid(9);
            }
            cmd.extendMinutes = parseMinutes(value);
            if (!cmd.extendMinutes) {
                cmd.error = QCoreApplication::translate(
                                "CommandLine", "--extend takes whole minutes from 1 to %1, not \"%2\"")
                                .arg(FocusSessionManager::kMaxExtendMinutes)
                                .arg(value);
                return cmd;
            }
        } else if (arg == QLatin1String("--export") || arg.startsWith(QLatin1String("--export=")) ||
                   arg == QLatin1String("--since") || arg.startsWith(QLatin1String("--since="))) {
            const bool isExport = arg.startsWith(QLatin1String("--export"));
            QString value;
            if (!arg.contains(QLatin1Char('='))) {
                if (i + 1 >= arguments.size()) {
                    cmd.error = isExport
                                    ? QCoreApplication::translate("CommandLine", "--export needs csv or json")
                                    : QCoreApplication::translate("CommandLine", "--since needs a date");
                    return cmd;
                }
                value = arguments.at(++i);
            } else {
                value = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
            }
            if (isExport) {
                cmd.exportFormat = SessionExport::formatNamed(value);
                if (!cmd.exportFormat) {
                    cmd.error =
                        QCoreApplication::translate("CommandLine", "--export takes csv or json, not \"%1\"")
                            .arg(value);
                    return cmd;
                }
            } else {
                cmd.exportSince = SessionExport::parseSince(value);
                if (!cmd.exportSince) {
                    cmd.error =
                        QCoreApplication::translate(
                            "CommandLine", "--since takes a date such as 2026-03-28 (or a date and time such "
                                           "as 2026-03-28T09:00), not \"%1\"")
                            .arg(value);
                    return cmd;
                }
            }
        } else if (arg == QLatin1String("--version")) {
            cmd.version = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cmd.help = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1 &&
                   !arg.startsWith(QLatin1String("-platform")) && !arg.startsWith(QLatin1String("-style"))) {
            cmd.error = QCoreApplication::translate("CommandLine", "unknown option %1").arg(arg);
            return cmd;
        }
    }
    if (cmd.exportSince && !cmd.exportFormat)
        cmd.error = QCoreApplication::translate("CommandLine", "--since goes with --export");
    return cmd;
}

QString CommandLine::usage()
{
    return QCoreApplication::translate(
        "CommandLine", "Usage: lumora [--popover | --open | --status | --start <focus screen name> |\n"
                       "               --stop | --extend <minutes> | --export csv|json [--since <date>] |\n"
                       "               --version]\n"
                       "\n"
                       "  --popover        show the focus screen list of the running Lumora\n"
                       "  --open           bring the main window of the running Lumora forward\n"
                       "  --start <name>   start the focus screen with that exact name\n"
                       "  --status         print the running session's countdown, or \"idle\"\n"
                       "  --stop           end the running session now, recorded as ended early\n"
                       "                   (not a strict one); --stop=<name> only when that focus\n"
                       "                   screen's session runs\n"
                       "  --extend <minutes>\n"
                       "                   add 1 to 240 minutes to the running session (not while it ends)\n"
                       "  --export csv|json [--since <date>]\n"
                       "                   write every session (or those started since the date, such as\n"
                       "                   2026-03-28) to standard output, oldest first\n"
                       "  --version        print the version and exit\n"
                       "  --selftest       check the model layer against APP_STORE and exit\n"
                       "  --login          start as the login session does (the autostart entry)\n"
                       "  --native-messaging-host\n"
                       "                   serve the browser extension on standard input and output\n"
                       "                   (browsers start it so through their native-messaging manifests)\n"
                       "\n"
                       "Without options Lumora starts, or brings the running one's main window forward.\n");
}

QString CommandLine::versionLine()
{
    return QStringLiteral("lumora %1").arg(QLatin1String(Version::kText));
}
