// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class AppModel;
class Appearance;
class GridProbes;
class PlatformServices;
class QWidget;

// Reviewable pictures of every page: with APP_SNAPSHOT naming an output
// folder (and APP_STORE a scratch store), the program walks the main
// window's pages, the settings tabs and the focus overlay in each lock mode,
// in light and dark, writes one PNG and one layout file per view, prints a
// line per image and quits.
namespace Snapshot {

// Page names, in capture order.
QStringList pageNames();

// The pages APP_SNAPSHOT_PAGES asks for: split on ",", empty pieces
// dropped, no trimming; absent means every page.
QSet<QString> requestedPages(const std::optional<QString> &pagesVariable);

// Windows the shell builds, for the pictures of them: the tray popover and
// the About dialog (each shown by the call and returned; null when there is
// none).
struct ShellWindows
{
    std::function<QWidget *()> popover;
    std::function<QWidget *()> about;
};

// Returns at once; the run goes on in the event loop and ends the program.
// It switches `appearance` between light and dark and writes the layout
// `probes` hold beside each image; both outlive the run. The display is kept
// awake through `platform` while it runs. Besides the pages it takes the
// focus screen editor ("editor", the first focus screen), the popover, the
// exit challenge sheet ("challengeSheet") and the About dialog ("about").
void runIfRequested(AppModel &model, const std::function<void()> &openSettings, Appearance *appearance,
                    GridProbes *probes, PlatformServices &platform, ShellWindows shellWindows = {});

// Writes an image of the window and the layout file of `probes` ("-layout.json"
// in place of ".png", none without probes) and prints "SNAPSHOT <path>".
// Returns false when no image was written.
bool capture(const QString &path, QWidget *window, const GridProbes *probes);

// The stand-alone overlay window for one lock mode: "Test Focus", 600 s
// long, 300 s remaining, on the primary screen. With a strict-mode type
// other than none, its exit challenge sheet is open. With breakAfterRound,
// it is the break after that round of a screen of two more rounds.
QWidget *createTestOverlayWindow(LockMode lockMode, const QString &screenName, double duration,
                                 StrictModeType challenge = StrictModeType::none, int breakAfterRound = 0);

} // namespace Snapshot
