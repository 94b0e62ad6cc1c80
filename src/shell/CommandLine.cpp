#include "CommandLine.h"

#include <QCoreApplication>

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
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cmd.help = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1 &&
                   !arg.startsWith(QLatin1String("-platform")) && !arg.startsWith(QLatin1String("-style"))) {
            cmd.error = QCoreApplication::translate("CommandLine", "unknown option %1").arg(arg);
            return cmd;
        }
    }
    return cmd;
}

QString CommandLine::usage()
{
    return QCoreApplication::translate(
        "CommandLine", "Usage: lumora [--popover | --open | --status | --start <focus screen name>]\n"
                       "\n"
                       "  --popover        show the focus screen list of the running Lumora\n"
                       "  --open           bring the main window of the running Lumora forward\n"
                       "  --start <name>   start the focus screen with that exact name\n"
                       "  --status         print the running session's countdown, or \"idle\"\n"
                       "  --selftest       check the model layer against APP_STORE and exit\n"
                       "  --login          start as the login session does (the autostart entry)\n"
                       "  --native-messaging-host\n"
                       "                   serve the browser extension on standard input and output\n"
                       "                   (browsers start it so through their native-messaging manifests)\n"
                       "\n"
                       "Without options Lumora starts, or brings the running one's main window forward.\n");
}
