<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Lumora</source>
        <translation>Über Lumora</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>A focus timer for the Linux desktop.</source>
        <translation>Ein Fokus-Timer für den Linux-Desktop.</translation>
    </message>
    <message>
        <source>Licence: MIT (Expat)</source>
        <translation>Lizenz: MIT (Expat)</translation>
    </message>
    <message>
        <source>Your focus screens, sessions and settings are kept in:</source>
        <translation>Ihre Fokus-Bildschirme, Sitzungen und Einstellungen liegen in:</translation>
    </message>
    <message>
        <source>How to use Lumora (README)</source>
        <translation>So benutzen Sie Lumora (README)</translation>
    </message>
</context>
<context>
    <name>AccentPreview</name>
    <message>
        <source>Preview of the accent color</source>
        <translation>Vorschau der Akzentfarbe</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Eingang</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>1 left</source>
        <translation>1 offen</translation>
    </message>
    <message>
        <source>Pick a color</source>
        <translation>Eine Farbe wählen</translation>
    </message>
    <message>
        <source>Ship the first build</source>
        <translation>Erste Version ausliefern</translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation>Aufgabe hinzufügen</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>Fokus</translation>
    </message>
</context>
<context>
    <name>AppChips</name>
    <message>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
</context>
<context>
    <name>AppChooser</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>%1 is already in the list</source>
        <translation>%1 steht schon in der Liste</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>Pick installed applications instead of typing their ids</source>
        <translation>Installierte Anwendungen auswählen, statt ihre Kennungen einzutippen</translation>
    </message>
    <message>
        <source>Choose Applications</source>
        <translation>Anwendungen auswählen</translation>
    </message>
    <message>
        <source>Pick one or more applications; their ids are added to the list.</source>
        <translation>Wählen Sie eine oder mehrere Anwendungen; ihre Kennungen werden der Liste hinzugefügt.</translation>
    </message>
    <message>
        <source>Search by name or id</source>
        <translation>Nach Name oder Kennung suchen</translation>
    </message>
    <message>
        <source>No applications found.</source>
        <translation>Keine Anwendungen gefunden.</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Anwendungen durchsuchen</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Anwendungen</translation>
    </message>
    <message>
        <source>Choose Application</source>
        <translation>Anwendung auswählen</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Pick the application to open when a session starts.</source>
        <translation>Wählen Sie die Anwendung, die beim Start einer Sitzung geöffnet wird.</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>Changes could not be saved to %1 (%2). Lumora keeps them and tries again.</source>
        <translation>Änderungen konnten nicht in %1 gespeichert werden (%2). Lumora behält sie und versucht es erneut.</translation>
    </message>
    <message>
        <source>Lumora Could Not Save</source>
        <translation>Lumora konnte nicht speichern</translation>
    </message>
    <message>
        <source>Lumora: Changes could not be saved before quitting: %1</source>
        <translation>Lumora: Änderungen konnten vor dem Beenden nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Lumora: No system tray is available; the main window stays open instead of the tray icon</source>
        <translation>Lumora: Kein Systemabschnitt der Kontrollleiste verfügbar; statt des Symbols dort bleibt das Hauptfenster geöffnet</translation>
    </message>
    <message>
        <source>the focus screen no longer exists</source>
        <translation>der Fokus-Bildschirm existiert nicht mehr</translation>
    </message>
    <message>
        <source>no focus screen is named &quot;%1&quot;</source>
        <translation>kein Fokus-Bildschirm heißt „%1“</translation>
    </message>
    <message>
        <source>the focus session &quot;%1&quot; is running; the list opens when it is over</source>
        <translation>die Fokus-Sitzung „%1“ läuft; die Liste öffnet sich, wenn sie vorbei ist</translation>
    </message>
    <message>
        <source>the focus session &quot;%1&quot; is running; the list opens when it is over (end it with &quot;End Session&quot; on the overlay or lumora --stop, add time with lumora --extend)</source>
        <translation>die Fokus-Sitzung „%1“ läuft; die Liste öffnet sich, wenn sie vorbei ist (beenden mit „Sitzung beenden“ auf dem Overlay oder lumora --stop, Zeit hinzufügen mit lumora --extend)</translation>
    </message>
    <message>
        <source>The scheduled focus screen &quot;%1&quot; did not start: %2</source>
        <translation>Der geplante Fokus-Bildschirm „%1“ wurde nicht gestartet: %2</translation>
    </message>
    <message>
        <source>Scheduled Session Skipped</source>
        <translation>Geplante Sitzung übersprungen</translation>
    </message>
    <message>
        <source>Long Break %1</source>
        <extracomment>The tray&apos;s title during a break between rounds: &quot;Break 04:12&quot;.</extracomment>
        <translation>Lange Pause %1</translation>
    </message>
    <message>
        <source>Break %1</source>
        <translation>Pause %1</translation>
    </message>
</context>
<context>
    <name>AppLockManager</name>
    <message>
        <source>Lumora: Other applications cannot be hidden here (%1); the focus overlay still covers the screens</source>
        <translation>Lumora: Andere Anwendungen können hier nicht ausgeblendet werden (%1); die Fokus-Überlagerung deckt die Bildschirme trotzdem ab</translation>
    </message>
    <message>
        <source>Lumora: Could not update the lock journal: %1</source>
        <translation>Lumora: Das Sperrprotokoll konnte nicht aktualisiert werden: %1</translation>
    </message>
    <message>
        <source>Other applications are not hidden because the lock journal %1 could not be written (%2); the focus overlay still covers the screens.</source>
        <translation>Andere Anwendungen werden nicht ausgeblendet, weil das Sperrprotokoll %1 nicht geschrieben werden konnte (%2); die Fokus-Überlagerung deckt die Bildschirme trotzdem ab.</translation>
    </message>
</context>
<context>
    <name>AppLockProfileDetail</name>
    <message>
        <source>No Profile Selected</source>
        <translation>Kein Profil ausgewählt</translation>
    </message>
    <message>
        <source>Select a lock profile from the list to edit it.</source>
        <translation>Wählen Sie ein Sperrprofil aus der Liste, um es zu bearbeiten.</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Blocked Applications</source>
        <translation>Gesperrte Anwendungen</translation>
    </message>
    <message>
        <source>Application IDs (comma-separated)</source>
        <translation>Anwendungskennungen (durch Kommas getrennt)</translation>
    </message>
    <message>
        <source>Example: org.gnome.Totem, org.gnome.Rhythmbox3, steam</source>
        <translation>Beispiel: org.gnome.Totem, org.gnome.Rhythmbox3, steam</translation>
    </message>
    <message>
        <source>Blocked Websites</source>
        <translation>Gesperrte Webseiten</translation>
    </message>
    <message>
        <source>Domains (comma-separated)</source>
        <translation>Domains (durch Kommas getrennt)</translation>
    </message>
    <message>
        <source>Example: youtube.com, twitter.com, reddit.com</source>
        <translation>Beispiel: youtube.com, twitter.com, reddit.com</translation>
    </message>
    <message>
        <source>Focus Screens</source>
        <translation>Fokus-Bildschirme</translation>
    </message>
    <message>
        <source>No focus screen uses this profile. Choose it under Lock Profile in a focus screen&apos;s editor.</source>
        <translation>Kein Fokus-Bildschirm verwendet dieses Profil. Es wird im Editor eines Fokus-Bildschirms unter „Sperrprofil“ gewählt.</translation>
    </message>
    <message>
        <source>Used by: %1</source>
        <translation>Verwendet von: %1</translation>
    </message>
</context>
<context>
    <name>AppLockProfileList</name>
    <message>
        <source>Lock Profiles</source>
        <translation>Sperrprofile</translation>
    </message>
    <message>
        <source>No Lock Profiles</source>
        <translation>Keine Sperrprofile</translation>
    </message>
    <message>
        <source>Create a lock profile to define reusable blocking rules.</source>
        <translation>Legen Sie ein Sperrprofil an, um wiederverwendbare Sperrregeln festzulegen.</translation>
    </message>
    <message>
        <source>Create Profile</source>
        <translation>Profil anlegen</translation>
    </message>
    <message>
        <source>New Lock Profile</source>
        <translation>Neues Sperrprofil</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the lock profile “%1”?</source>
        <translation>Das Sperrprofil „%1“ löschen?</translation>
    </message>
    <message>
        <source>Edit → Undo brings it back while this window is open.</source>
        <translation>Bearbeiten → Rückgängig holt es zurück, solange dieses Fenster offen ist.</translation>
    </message>
</context>
<context>
    <name>AppLockProfileListModel</name>
    <message numerus="yes">
        <source>%n blocked apps</source>
        <translation>
            <numerusform>%n gesperrte Anwendung</numerusform>
            <numerusform>%n gesperrte Anwendungen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AppearanceSettings</name>
    <message>
        <source>Accent color</source>
        <translation>Akzentfarbe</translation>
    </message>
</context>
<context>
    <name>BrowserHost</name>
    <message>
        <source>there is no session bus, so there is no focus session to follow</source>
        <translation>es gibt keinen Sitzungsbus, also keine Fokus-Sitzung, der gefolgt werden kann</translation>
    </message>
    <message>
        <source>a message of type &quot;%1&quot; is not understood; it is skipped</source>
        <translation>eine Nachricht vom Typ &quot;%1&quot; wird nicht verstanden; sie wird übersprungen</translation>
    </message>
    <message>
        <source>the browser said hello a second time on the same connection; it is skipped</source>
        <translation>der Browser hat sich auf derselben Verbindung ein zweites Mal angemeldet; das wird übersprungen</translation>
    </message>
    <message>
        <source>a message for the browser is longer than 1 MB; it is not sent</source>
        <translation>eine Nachricht an den Browser ist länger als 1 MB; sie wird nicht gesendet</translation>
    </message>
    <message>
        <source>the focus screen allows too many websites for one message; the browser allows only the first %1 of %2</source>
        <translation>der Fokus-Bildschirm erlaubt zu viele Webseiten für eine Nachricht; der Browser erlaubt nur die ersten %1 von %2</translation>
    </message>
</context>
<context>
    <name>BrowserManifests</name>
    <message>
        <source>the folder cannot be created</source>
        <translation>der Ordner kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>BrowserSection</name>
    <message>
        <source>Browsers</source>
        <translation>Browser</translation>
    </message>
    <message>
        <source>Set Up for This User</source>
        <translation>Für diesen Benutzer einrichten</translation>
    </message>
    <message>
        <source>Writes the native-messaging manifests for Chromium and Firefox to your home folder</source>
        <translation>Schreibt die Native-Messaging-Manifeste für Chromium und Firefox in Ihren Benutzerordner</translation>
    </message>
    <message>
        <source>With the Lumora Focus extension, a browser keeps to the focus screen&apos;s allowed websites while a session runs.</source>
        <translation>Mit der Erweiterung Lumora Fokus bleibt ein Browser während einer Sitzung bei den erlaubten Webseiten des Fokus-Bildschirms.</translation>
    </message>
    <message>
        <source>No browser connected</source>
        <translation>Kein Browser verbunden</translation>
    </message>
    <message>
        <source>Connected: %1</source>
        <translation>Verbunden: %1</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>Geschrieben: %1</translation>
    </message>
    <message>
        <source>Not written: %1</source>
        <translation>Nicht geschrieben: %1</translation>
    </message>
</context>
<context>
    <name>Challenge</name>
    <message>
        <source>Type the commitment sentence...</source>
        <translation>Den Verpflichtungssatz eingeben …</translation>
    </message>
    <message>
        <source>Type the following sentence exactly to prove your commitment:</source>
        <translation>Geben Sie den folgenden Satz genau ein, um Ihre Entschlossenheit zu beweisen:</translation>
    </message>
    <message>
        <source>Solve this math problem:</source>
        <translation>Lösen Sie diese Rechenaufgabe:</translation>
    </message>
    <message>
        <source>Enter your exit password:</source>
        <translation>Geben Sie Ihr Ausstiegspasswort ein:</translation>
    </message>
    <message>
        <source>Sentence</source>
        <translation>Satz</translation>
    </message>
    <message>
        <source>Math Problem</source>
        <translation>Rechenaufgabe</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Complete a challenge to exit early</source>
        <translation>Lösen Sie eine Aufgabe, um vorzeitig zu beenden</translation>
    </message>
    <message>
        <source>Try again in %1s</source>
        <translation>Erneut versuchen in %1 s</translation>
    </message>
</context>
<context>
    <name>ChallengeSheet</name>
    <message>
        <source>Exit Challenge</source>
        <translation>Ausstiegsaufgabe</translation>
    </message>
    <message>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Passwort eingeben</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Submit</source>
        <translation>Absenden</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>Antwort</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--start needs the name of a focus screen</source>
        <translation>--start braucht den Namen eines Fokus-Bildschirms</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>--extend needs a number of minutes</source>
        <translation>--extend braucht eine Anzahl Minuten</translation>
    </message>
    <message>
        <source>--extend takes whole minutes from 1 to %1, not &quot;%2&quot;</source>
        <translation>--extend nimmt ganze Minuten von 1 bis %1, nicht „%2“</translation>
    </message>
    <message>
        <source>--export needs csv or json</source>
        <translation>--export braucht csv oder json</translation>
    </message>
    <message>
        <source>--since needs a date</source>
        <translation>--since braucht ein Datum</translation>
    </message>
    <message>
        <source>--export takes csv or json, not &quot;%1&quot;</source>
        <translation>--export nimmt csv oder json, nicht „%1“</translation>
    </message>
    <message>
        <source>--since takes a date such as 2026-03-28 (or a date and time such as 2026-03-28T09:00), not &quot;%1&quot;</source>
        <translation>--since nimmt ein Datum wie 2026-03-28 (oder Datum und Uhrzeit wie 2026-03-28T09:00), nicht „%1“</translation>
    </message>
    <message>
        <source>--since goes with --export</source>
        <translation>--since gehört zu --export</translation>
    </message>
    <message>
        <source>Usage: lumora [--popover | --open | --status | --start &lt;focus screen name&gt; |
               --stop | --extend &lt;minutes&gt; | --export csv|json [--since &lt;date&gt;] |
               --version]

  --popover        show the focus screen list of the running Lumora
  --open           bring the main window of the running Lumora forward
  --start &lt;name&gt;   start the focus screen with that exact name
  --status         print the running session&apos;s countdown, or &quot;idle&quot;
  --stop           end the running session now, recorded as ended early
                   (not a strict one); --stop=&lt;name&gt; only when that focus
                   screen&apos;s session runs
  --extend &lt;minutes&gt;
                   add 1 to 240 minutes to the running session (not while it ends)
  --export csv|json [--since &lt;date&gt;]
                   write every session (or those started since the date, such as
                   2026-03-28) to standard output, oldest first
  --version        print the version and exit
  --selftest       check the model layer against APP_STORE and exit
  --login          start as the login session does (the autostart entry)
  --native-messaging-host
                   serve the browser extension on standard input and output
                   (browsers start it so through their native-messaging manifests)

Without options Lumora starts, or brings the running one&apos;s main window forward.
</source>
        <translation>Aufruf: lumora [--popover | --open | --status | --start &lt;Name des Fokus-Bildschirms&gt; |
               --stop | --extend &lt;Minuten&gt; | --export csv|json [--since &lt;Datum&gt;] |
               --version]

  --popover        die Liste der Fokus-Bildschirme des laufenden Lumora zeigen
  --open           das Hauptfenster des laufenden Lumora in den Vordergrund holen
  --start &lt;Name&gt;   den Fokus-Bildschirm mit genau diesem Namen starten
  --status         den Countdown der laufenden Sitzung ausgeben, sonst „idle“
  --stop           die laufende Sitzung jetzt beenden, als vorzeitig beendet erfasst
                   (keine strikte); --stop=&lt;Name&gt; nur, wenn die Sitzung dieses
                   Fokus-Bildschirms läuft
  --extend &lt;Minuten&gt;
                   der laufenden Sitzung 1 bis 240 Minuten hinzufügen (nicht, während sie endet)
  --export csv|json [--since &lt;Datum&gt;]
                   jede Sitzung (oder die seit dem Datum begonnenen, etwa
                   2026-03-28) auf die Standardausgabe schreiben, die älteste zuerst
  --version        die Version ausgeben und beenden
  --selftest       die Modellschicht mit APP_STORE prüfen und beenden
  --login          so starten wie die Anmeldesitzung (der Autostart-Eintrag)
  --native-messaging-host
                   die Browser-Erweiterung über Standardein- und -ausgabe bedienen
                   (so starten Browser es über ihre Native-Messaging-Manifeste)

Ohne Optionen startet Lumora oder holt das Hauptfenster des laufenden in den Vordergrund.
</translation>
    </message>
</context>
<context>
    <name>ContentView</name>
    <message>
        <source>Select a Page</source>
        <translation>Seite auswählen</translation>
    </message>
    <message>
        <source>No Selection</source>
        <translation>Keine Auswahl</translation>
    </message>
    <message>
        <source>New Focus Screen</source>
        <translation>Neuer Fokus-Bildschirm</translation>
    </message>
    <message>
        <source>Add a focus screen (Ctrl+N)</source>
        <translation>Einen Fokus-Bildschirm hinzufügen (Strg+N)</translation>
    </message>
    <message>
        <source>New Profile</source>
        <translation>Neues Profil</translation>
    </message>
    <message>
        <source>Add a lock profile</source>
        <translation>Ein Sperrprofil hinzufügen</translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation>Einstellungen öffnen</translation>
    </message>
    <message>
        <source>Undo Delete</source>
        <translation>Löschen rückgängig machen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Undo Delete “%1”</source>
        <translation>Löschen von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>“%1” was deleted.</source>
        <translation>„%1“ wurde gelöscht.</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren …</translation>
    </message>
    <message>
        <source>Save every session as a CSV or JSON file</source>
        <translation>Alle Sitzungen als CSV- oder JSON-Datei sichern</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>Export Sessions</source>
        <translation>Sitzungen exportieren</translation>
    </message>
    <message>
        <source>The sessions could not be saved to %1.</source>
        <translation>Die Sitzungen konnten nicht unter %1 gesichert werden.</translation>
    </message>
</context>
<context>
    <name>DoNotDisturb</name>
    <message>
        <source>this desktop gives programs no way to hold notifications back (Lumora can on GNOME, KDE Plasma, mako and dunst)</source>
        <translation>diese Arbeitsumgebung gibt Programmen keine Möglichkeit, Benachrichtigungen zurückzuhalten (Lumora kann es unter GNOME, KDE Plasma, mako und dunst)</translation>
    </message>
    <message>
        <source>A focus session is running</source>
        <translation>Eine Fokus-Sitzung läuft</translation>
    </message>
</context>
<context>
    <name>DurationFormat</name>
    <message>
        <source>%1h</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1m</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1m %2s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 Minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 Stunde</translation>
    </message>
    <message>
        <source>%1 hours</source>
        <translation>%1 Stunden</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <extracomment>hours, then minutes: &quot;1 hour 30 minutes&quot;</extracomment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>DurationPicker</name>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Decrement</source>
        <translation>Verringern</translation>
    </message>
    <message>
        <source>Increment</source>
        <translation>Erhöhen</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>Type a length such as 50, 1h 30m or 1:30 and press Return, or use the arrow keys.</source>
        <translation>Geben Sie eine Dauer ein, etwa 50, 1h 30m oder 1:30, und drücken Sie die Eingabetaste, oder benutzen Sie die Pfeiltasten.</translation>
    </message>
</context>
<context>
    <name>Enums</name>
    <message>
        <source>Hide Apps</source>
        <translation>Anwendungen ausblenden</translation>
    </message>
    <message>
        <source>Prevent Launch</source>
        <translation>Start verhindern</translation>
    </message>
    <message>
        <source>Overlay</source>
        <translation>Überlagerung</translation>
    </message>
    <message>
        <source>Focus Screens</source>
        <translation>Fokus-Bildschirme</translation>
    </message>
    <message>
        <source>Sessions</source>
        <translation>Sitzungen</translation>
    </message>
    <message>
        <source>Lock Profiles</source>
        <translation>Sperrprofile</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Erscheinungsbild</translation>
    </message>
    <message>
        <source>Stats</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Sentence Typing</source>
        <translation>Satz eintippen</translation>
    </message>
    <message>
        <source>Recommended for spiritual/meaningful focus. Type a personal commitment to prove you&apos;re serious.</source>
        <translation>Empfohlen für spirituellen oder bedeutsamen Fokus. Tippen Sie eine persönliche Verpflichtung ein, um zu zeigen, dass Sie es ernst meinen.</translation>
    </message>
    <message>
        <source>Math Problem</source>
        <translation>Rechenaufgabe</translation>
    </message>
    <message>
        <source>Good for general focus. Requires mental effort to solve, discouraging impulse quits.</source>
        <translation>Gut für allgemeinen Fokus. Das Lösen kostet geistige Mühe und hält von spontanem Aufgeben ab.</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Highest security. Share the password with an accountability partner if desired.</source>
        <translation>Höchste Sicherheit. Geben Sie das Passwort auf Wunsch einer Vertrauensperson.</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>Systemvorgabe</translation>
    </message>
    <message>
        <source>Solid Color</source>
        <translation>Einfarbig</translation>
    </message>
    <message>
        <source>Gradient</source>
        <translation>Farbverlauf</translation>
    </message>
    <message>
        <source>Custom Image</source>
        <translation>Eigenes Bild</translation>
    </message>
</context>
<context>
    <name>ExitChallenge</name>
    <message>
        <source>Incorrect. Please try again.</source>
        <translation>Falsch. Bitte versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>FocusChart</name>
    <message>
        <source>Focus time per day</source>
        <translation>Fokuszeit pro Tag</translation>
    </message>
</context>
<context>
    <name>FocusOverlayController</name>
    <message>
        <source>Lumora Focus</source>
        <translation>Lumora-Fokus</translation>
    </message>
    <message>
        <source>Emergency Exit</source>
        <translation>Notausstieg</translation>
    </message>
    <message>
        <source>Are you sure you want to end this focus session early? This will break your focus flow.</source>
        <translation>Möchten Sie diese Fokus-Sitzung wirklich vorzeitig beenden? Das unterbricht Ihren Arbeitsfluss.</translation>
    </message>
    <message>
        <source>Cancel Focus Session</source>
        <translation>Fokus-Sitzung abbrechen</translation>
    </message>
    <message>
        <source>Keep Focusing</source>
        <translation>Weiter fokussieren</translation>
    </message>
</context>
<context>
    <name>FocusOverlayView</name>
    <message>
        <source>Strict Mode: %1</source>
        <translation>Strenger Modus: %1</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <source>Allowed Applications</source>
        <translation>Erlaubte Anwendungen</translation>
    </message>
    <message>
        <source>Emergency Exit</source>
        <translation>Notausstieg</translation>
    </message>
    <message>
        <source>Press Esc 3 times for rapid exit</source>
        <translation>Dreimal Esc drücken zum schnellen Beenden</translation>
    </message>
    <message>
        <source>Exit Challenge</source>
        <translation>Ausstiegsaufgabe</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <source>+5 min</source>
        <extracomment>Adds five minutes to the running session.</extracomment>
        <translation>+5 Min.</translation>
    </message>
    <message>
        <source>End Session</source>
        <translation>Sitzung beenden</translation>
    </message>
    <message>
        <source>Lumora quits once the challenge is passed; it can be tried again when the countdown above is over</source>
        <translation>Lumora wird beendet, sobald die Aufgabe gelöst ist; sie kann wieder versucht werden, wenn der Countdown oben abgelaufen ist</translation>
    </message>
    <message>
        <source>Skip Break</source>
        <translation>Pause überspringen</translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation>Lange Pause</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Round %1 of %2 done</source>
        <translation>Runde %1 von %2 geschafft</translation>
    </message>
    <message>
        <source>Round %1 of %2</source>
        <translation>Runde %1 von %2</translation>
    </message>
</context>
<context>
    <name>FocusScreenDetail</name>
    <message>
        <source>No Focus Screen Selected</source>
        <translation>Kein Fokus-Bildschirm ausgewählt</translation>
    </message>
    <message>
        <source>Select a focus screen from the list to edit it.</source>
        <translation>Wählen Sie einen Fokus-Bildschirm aus der Liste, um ihn zu bearbeiten.</translation>
    </message>
    <message>
        <source>Hex Color (e.g., #1A1A2E or 1A1A2E)</source>
        <translation>Hex-Farbe (z. B. #1A1A2E oder 1A1A2E)</translation>
    </message>
    <message>
        <source>Gradient (e.g., linear,#667eea,#764ba2 or radial,#f093fb,#f5576c)</source>
        <translation>Farbverlauf (z. B. linear,#667eea,#764ba2 oder radial,#f093fb,#f5576c)</translation>
    </message>
    <message>
        <source>Image File Path</source>
        <translation>Pfad der Bilddatei</translation>
    </message>
    <message>
        <source>Uses the default dark blur overlay.</source>
        <translation>Verwendet die dunkle, weichgezeichnete Standard-Überlagerung.</translation>
    </message>
    <message>
        <source>Solid color background for the overlay.</source>
        <translation>Einfarbiger Hintergrund für die Überlagerung.</translation>
    </message>
    <message>
        <source>Format: linear|radial,color1,color2,... (hex colors)</source>
        <translation>Format: linear|radial,Farbe1,Farbe2,… (Hex-Farben)</translation>
    </message>
    <message>
        <source>Full path to an image file (PNG, JPG). Example: ~/Pictures/background.jpg</source>
        <translation>Vollständiger Pfad einer Bilddatei (PNG, JPG). Beispiel: ~/Bilder/hintergrund.jpg</translation>
    </message>
    <message>
        <source>Basics</source>
        <translation>Grundlagen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Lock Mode</source>
        <translation>Sperrmodus</translation>
    </message>
    <message>
        <source>Auto-start on Login</source>
        <translation>Bei der Anmeldung automatisch starten</translation>
    </message>
    <message>
        <source>Strict Mode (Anti-Cheat)</source>
        <translation>Strenger Modus (gegen Schummeln)</translation>
    </message>
    <message>
        <source>Enable Strict Mode</source>
        <translation>Strengen Modus aktivieren</translation>
    </message>
    <message>
        <source>Challenge Type</source>
        <translation>Art der Aufgabe</translation>
    </message>
    <message>
        <source>Commitment Sentence</source>
        <translation>Verpflichtungssatz</translation>
    </message>
    <message>
        <source>Must type this exact sentence to exit early. Case-insensitive.</source>
        <translation>Dieser Satz muss genau so eingetippt werden, um vorzeitig zu beenden. Groß- und Kleinschreibung zählen nicht.</translation>
    </message>
    <message>
        <source>Exit Password</source>
        <translation>Ausstiegspasswort</translation>
    </message>
    <message>
        <source>Enter this password to exit early.</source>
        <translation>Geben Sie dieses Passwort ein, um vorzeitig zu beenden.</translation>
    </message>
    <message>
        <source>A random math problem will be generated each time you try to exit.</source>
        <translation>Bei jedem Versuch zu beenden wird eine zufällige Rechenaufgabe gestellt.</translation>
    </message>
    <message>
        <source>Allowed Applications</source>
        <translation>Erlaubte Anwendungen</translation>
    </message>
    <message>
        <source>Application IDs (comma-separated)</source>
        <translation>Anwendungskennungen (durch Kommas getrennt)</translation>
    </message>
    <message>
        <source>Example: firefox-esr, org.gnome.Nautilus</source>
        <translation>Beispiel: firefox-esr, org.gnome.Nautilus</translation>
    </message>
    <message>
        <source>Allowed Websites</source>
        <translation>Erlaubte Webseiten</translation>
    </message>
    <message>
        <source>Domains (comma-separated)</source>
        <translation>Domains (durch Kommas getrennt)</translation>
    </message>
    <message>
        <source>Example: github.com, gitlab.com, developer.mozilla.org</source>
        <translation>Beispiel: github.com, gitlab.com, developer.mozilla.org</translation>
    </message>
    <message>
        <source>Bible Mode (Auto-Open on Start)</source>
        <translation>Bibelmodus (beim Start automatisch öffnen)</translation>
    </message>
    <message>
        <source>Application ID to Open</source>
        <translation>Zu öffnende Anwendungskennung</translation>
    </message>
    <message>
        <source>Example: com.github.johnfactotum.Foliate, info.bibletime.BibleTime</source>
        <translation>Beispiel: com.github.johnfactotum.Foliate, info.bibletime.BibleTime</translation>
    </message>
    <message>
        <source>URL to Open</source>
        <translation>Zu öffnende Adresse</translation>
    </message>
    <message>
        <source>Example: https://www.bible.com, https://www.biblegateway.com</source>
        <translation>Beispiel: https://www.bible.com, https://www.biblegateway.com</translation>
    </message>
    <message>
        <source>Leave both empty to disable. App takes priority over URL.</source>
        <translation>Beide leer lassen zum Abschalten. Die Anwendung hat Vorrang vor der Adresse.</translation>
    </message>
    <message>
        <source>Zen Style (Overlay Background)</source>
        <translation>Zen-Stil (Hintergrund der Überlagerung)</translation>
    </message>
    <message>
        <source>Background Type</source>
        <translation>Art des Hintergrunds</translation>
    </message>
    <message>
        <source>Not a domain, ignored: %1</source>
        <translation>Keine Domain, ignoriert: %1</translation>
    </message>
    <message>
        <source>Strict mode needs a challenge, so “None” was replaced by Math Problem.</source>
        <translation>Der strenge Modus braucht eine Herausforderung, daher wurde „Keine“ durch Rechenaufgabe ersetzt.</translation>
    </message>
    <message>
        <source>“None” cannot guard a session; turn Strict Mode off instead.</source>
        <translation>„Keine“ kann keine Sitzung schützen; schalten Sie stattdessen den strengen Modus aus.</translation>
    </message>
    <message>
        <source>An empty password is not accepted; the previous one is kept.</source>
        <translation>Ein leeres Passwort wird nicht angenommen; das bisherige bleibt.</translation>
    </message>
    <message>
        <source>An empty sentence is not accepted; the previous one is kept.</source>
        <translation>Ein leerer Satz wird nicht angenommen; der bisherige bleibt.</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>Pick the installed application to open</source>
        <translation>Die installierte Anwendung wählen, die geöffnet wird</translation>
    </message>
    <message>
        <source>Pick an image file</source>
        <translation>Eine Bilddatei wählen</translation>
    </message>
    <message>
        <source>Choose a Background Image</source>
        <translation>Hintergrundbild auswählen</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.jpeg *.webp *.bmp *.gif *.svg)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.webp *.bmp *.gif *.svg)</translation>
    </message>
    <message>
        <source>Choose a Colour</source>
        <translation>Farbe auswählen</translation>
    </message>
    <message>
        <source>Add a colour</source>
        <translation>Eine Farbe hinzufügen</translation>
    </message>
    <message>
        <source>Colour %1</source>
        <translation>Farbe %1</translation>
    </message>
    <message>
        <source>Choose a colour</source>
        <translation>Eine Farbe wählen</translation>
    </message>
    <message>
        <source>“None” cannot guard a session: choose a challenge.</source>
        <translation>„Keine“ kann keine Sitzung schützen: Wählen Sie eine Herausforderung.</translation>
    </message>
    <message>
        <source>Enter a sentence: without one, strict mode guards nothing.</source>
        <translation>Geben Sie einen Satz ein: Ohne ihn schützt der strenge Modus nichts.</translation>
    </message>
    <message>
        <source>Enter a password: without one, strict mode guards nothing.</source>
        <translation>Geben Sie ein Passwort ein: Ohne es schützt der strenge Modus nichts.</translation>
    </message>
    <message>
        <source>Rounds and Breaks</source>
        <translation>Runden und Pausen</translation>
    </message>
    <message>
        <source>One session</source>
        <extracomment>The number of rounds when a screen runs one session without breaks.</extracomment>
        <translation>Eine Sitzung</translation>
    </message>
    <message>
        <source>Rounds</source>
        <translation>Runden</translation>
    </message>
    <message>
        <source> min</source>
        <translation> Min.</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>after every </source>
        <extracomment>&quot;Long break after every [4] rounds&quot;.</extracomment>
        <translation>nach je </translation>
    </message>
    <message>
        <source> rounds</source>
        <translation> Runden</translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation>Lange Pause</translation>
    </message>
    <message>
        <source>Long Break Length</source>
        <translation>Länge der langen Pause</translation>
    </message>
    <message>
        <source>Show Hidden Applications During Breaks</source>
        <translation>Ausgeblendete Anwendungen in den Pausen zeigen</translation>
    </message>
    <message>
        <source>Each round is recorded as a session; ending early ends every round left.</source>
        <translation>Jede Runde wird als eigene Sitzung erfasst; ein vorzeitiges Ende beendet auch alle übrigen Runden.</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>While Lumora runs, the screen starts on the chosen days at the start time and stops by the end time, when one is set. A start while another session runs is skipped.</source>
        <translation>Solange Lumora läuft, startet der Bildschirm an den gewählten Tagen zur Startzeit und endet spätestens zur Endzeit, wenn eine gesetzt ist. Ein Start, während eine andere Sitzung läuft, wird übersprungen.</translation>
    </message>
    <message>
        <source>Next start: %1</source>
        <extracomment>The next time a focus screen starts by itself, e.g. &quot;Next start: Mon 09:00&quot;.</extracomment>
        <translation>Nächster Start: %1</translation>
    </message>
    <message>
        <source>Lock Profile</source>
        <translation>Sperrprofil</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>None (the allowed lists below)</source>
        <translation>Keines (die erlaubten Listen unten)</translation>
    </message>
    <message>
        <source>Without a profile, everything but the allowed applications and websites is kept away.</source>
        <translation>Ohne Profil wird alles außer den erlaubten Anwendungen und Websites ferngehalten.</translation>
    </message>
    <message>
        <source>The profile&apos;s blocked applications and websites are kept away with its lock mode; the allowed lists below are not used.</source>
        <translation>Die gesperrten Anwendungen und Websites des Profils werden mit dessen Sperrmodus ferngehalten; die erlaubten Listen unten werden nicht verwendet.</translation>
    </message>
</context>
<context>
    <name>FocusScreenList</name>
    <message>
        <source>Focus Screens</source>
        <translation>Fokus-Bildschirme</translation>
    </message>
    <message>
        <source>No Focus Screens</source>
        <translation>Keine Fokus-Bildschirme</translation>
    </message>
    <message>
        <source>Create your first focus screen to get started.</source>
        <translation>Legen Sie Ihren ersten Fokus-Bildschirm an, um loszulegen.</translation>
    </message>
    <message>
        <source>Create Focus Screen</source>
        <translation>Fokus-Bildschirm anlegen</translation>
    </message>
    <message>
        <source>New Focus Screen</source>
        <translation>Neuer Fokus-Bildschirm</translation>
    </message>
    <message>
        <source>%1 Copy</source>
        <translation>%1 (Kopie)</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>Toggle Auto-Start</source>
        <translation>Autostart umschalten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the focus screen “%1”?</source>
        <translation>Den Fokus-Bildschirm „%1“ löschen?</translation>
    </message>
    <message>
        <source>Its recorded sessions stay in the history. Edit → Undo brings it back while this window is open.</source>
        <translation>Seine aufgezeichneten Sitzungen bleiben im Verlauf. Bearbeiten → Rückgängig holt ihn zurück, solange dieses Fenster offen ist.</translation>
    </message>
</context>
<context>
    <name>FocusScreenListModel</name>
    <message>
        <source>Starts at login</source>
        <translation>Startet bei der Anmeldung</translation>
    </message>
</context>
<context>
    <name>FocusScreenPopoverRow</name>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>%1, %2, %3</source>
        <extracomment>a focus screen in the tray popover: name, length, lock mode</extracomment>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <source>Starts at login</source>
        <translation>Startet bei der Anmeldung</translation>
    </message>
    <message>
        <source>Start %1</source>
        <translation>%1 starten</translation>
    </message>
</context>
<context>
    <name>FocusScreenRow</name>
    <message>
        <source>Auto-start</source>
        <translation>Autostart</translation>
    </message>
</context>
<context>
    <name>FocusSessionDetail</name>
    <message>
        <source>No Session Selected</source>
        <translation>Keine Sitzung ausgewählt</translation>
    </message>
    <message>
        <source>Select a session from the list to see its details.</source>
        <translation>Wählen Sie eine Sitzung in der Liste, um ihre Einzelheiten zu sehen.</translation>
    </message>
    <message>
        <source>Session</source>
        <translation>Sitzung</translation>
    </message>
    <message>
        <source>Focus Screen</source>
        <translation>Fokus-Bildschirm</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Begonnen</translation>
    </message>
    <message>
        <source>Ended</source>
        <translation>Beendet</translation>
    </message>
    <message>
        <source>Planned Length</source>
        <translation>Geplante Dauer</translation>
    </message>
    <message>
        <source>Actual Length</source>
        <translation>Tatsächliche Dauer</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>The planned length is the focus screen&apos;s length now.</source>
        <translation>Die geplante Dauer ist die jetzige Dauer des Fokus-Bildschirms.</translation>
    </message>
    <message>
        <source>Round</source>
        <translation>Runde</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>What I worked on</source>
        <translation>Woran ich gearbeitet habe</translation>
    </message>
</context>
<context>
    <name>FocusSessionList</name>
    <message>
        <source>Sessions</source>
        <translation>Sitzungen</translation>
    </message>
    <message>
        <source>No Sessions</source>
        <translation>Keine Sitzungen</translation>
    </message>
    <message>
        <source>Start a focus session from a Focus Screen to see history here.</source>
        <translation>Starten Sie eine Fokus-Sitzung von einem Fokus-Bildschirm aus, um hier den Verlauf zu sehen.</translation>
    </message>
</context>
<context>
    <name>FocusSessionListModel</name>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Ended early</source>
        <translation>Vorzeitig beendet</translation>
    </message>
    <message>
        <source>Not finished</source>
        <translation>Nicht beendet</translation>
    </message>
</context>
<context>
    <name>FocusSessionManager</name>
    <message>
        <source>Applications Not Hidden</source>
        <translation>Anwendungen nicht ausgeblendet</translation>
    </message>
    <message>
        <source>Lumora is not ready yet</source>
        <translation>Lumora ist noch nicht bereit</translation>
    </message>
    <message>
        <source>the focus session or its focus screen no longer exists</source>
        <translation>die Fokus-Sitzung oder ihr Fokus-Bildschirm existiert nicht mehr</translation>
    </message>
    <message>
        <source>a focus session is already running: %1</source>
        <translation>eine Fokus-Sitzung läuft bereits: %1</translation>
    </message>
    <message>
        <source>Focus Session</source>
        <translation>Fokus-Sitzung</translation>
    </message>
    <message>
        <source>Focus Session Not Recorded Yet</source>
        <translation>Fokus-Sitzung noch nicht gespeichert</translation>
    </message>
    <message>
        <source>The session &quot;%1&quot; could not be saved (%2). Lumora keeps it and tries again.</source>
        <translation>Die Sitzung „%1“ konnte nicht gespeichert werden (%2). Lumora behält sie und versucht es erneut.</translation>
    </message>
    <message>
        <source>Focus Session Complete</source>
        <translation>Fokus-Sitzung abgeschlossen</translation>
    </message>
    <message>
        <source>Great job! You&apos;ve finished your session: %1</source>
        <translation>Gut gemacht! Sie haben Ihre Sitzung beendet: %1</translation>
    </message>
    <message>
        <source>This desktop does not let programs hide other applications (%1). The focus overlay still covers every screen.</source>
        <translation>Diese Arbeitsumgebung erlaubt Programmen nicht, andere Anwendungen auszublenden (%1). Die Fokus-Überlagerung deckt trotzdem jeden Bildschirm ab.</translation>
    </message>
    <message>
        <source>no focus session is running</source>
        <translation>es läuft keine Fokus-Sitzung</translation>
    </message>
    <message>
        <source>the focus session asked for is no longer running (running now: %1)</source>
        <translation>die gemeinte Fokus-Sitzung läuft nicht mehr (jetzt läuft: %1)</translation>
    </message>
    <message>
        <source>the focus session &quot;%1&quot; is ending already</source>
        <translation>die Fokus-Sitzung „%1“ endet bereits</translation>
    </message>
    <message>
        <source>the focus session &quot;%1&quot; is strict: only its challenge on the overlay ends it early</source>
        <translation>die Fokus-Sitzung „%1“ ist strikt: nur ihre Aufgabe auf dem Overlay beendet sie vorzeitig</translation>
    </message>
    <message>
        <source>the minutes to add must be a whole number from 1 to %1</source>
        <translation>die hinzuzufügenden Minuten müssen eine ganze Zahl von 1 bis %1 sein</translation>
    </message>
    <message>
        <source>no break is running</source>
        <translation>es läuft keine Pause</translation>
    </message>
</context>
<context>
    <name>GeneralSettings</name>
    <message>
        <source>Settings Unavailable</source>
        <translation>Einstellungen nicht verfügbar</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Global Shortcut</source>
        <translation>Globales Tastenkürzel</translation>
    </message>
    <message>
        <source>Default Lock Mode</source>
        <translation>Standard-Sperrmodus</translation>
    </message>
    <message>
        <source>Default Strict Mode</source>
        <translation>Standard für den strengen Modus</translation>
    </message>
    <message>
        <source>Applied to new focus screens when Strict Mode is enabled</source>
        <translation>Gilt für neue Fokus-Bildschirme, wenn der strenge Modus aktiviert ist</translation>
    </message>
    <message>
        <source>The desktop manages this shortcut: it may ask you to confirm or change it, and its keyboard settings show the one in use.</source>
        <translation>Der Desktop verwaltet dieses Tastenkürzel: Er bittet Sie eventuell, es zu bestätigen oder zu ändern, und seine Tastatureinstellungen zeigen das verwendete.</translation>
    </message>
    <message>
        <source>This desktop does not let programs set a global shortcut. Bind one in the desktop&apos;s keyboard settings to the command lumora --popover.</source>
        <translation>Dieser Desktop lässt Programme kein globales Tastenkürzel festlegen. Legen Sie in den Tastatureinstellungen des Desktops eines für den Befehl lumora --popover fest.</translation>
    </message>
    <message>
        <source>%1 now opens the popover.</source>
        <translation>%1 öffnet jetzt die Liste der Fokus-Bildschirme.</translation>
    </message>
    <message>
        <source>No global shortcut now: open the popover from the tray or with lumora --popover.</source>
        <translation>Jetzt kein globales Tastenkürzel: Öffnen Sie die Liste der Fokus-Bildschirme über das Symbol in der Kontrollleiste oder mit lumora --popover.</translation>
    </message>
    <message>
        <source>“%1” cannot be a global shortcut: it needs Ctrl, Alt or Super, or one of F1–F12. The shortcut in use stays.</source>
        <translation>„%1“ kann kein globales Tastenkürzel sein: Es braucht Ctrl, Alt oder Super oder eine der Tasten F1–F12. Das verwendete Tastenkürzel bleibt.</translation>
    </message>
    <message>
        <source>%1 could not be registered: another program may be using it. The shortcut in use stays.</source>
        <translation>%1 konnte nicht registriert werden: Ein anderes Programm verwendet es vielleicht. Das verwendete Tastenkürzel bleibt.</translation>
    </message>
    <message>
        <source>Default: %1 (or %2)</source>
        <extracomment>the default global shortcut, then another suggestion</extracomment>
        <translation>Vorgabe: %1 (oder %2)</translation>
    </message>
    <message>
        <source>Focus Sessions</source>
        <translation>Fokus-Sitzungen</translation>
    </message>
    <message>
        <source>Do Not Disturb While Focusing</source>
        <translation>Beim Fokussieren nicht stören</translation>
    </message>
    <message>
        <source>Other programs&apos; notifications wait until the session is over</source>
        <translation>Benachrichtigungen anderer Programme warten, bis die Sitzung vorbei ist</translation>
    </message>
    <message>
        <source>Play a Sound When a Session Ends</source>
        <translation>Ton am Ende einer Sitzung abspielen</translation>
    </message>
    <message>
        <source>GNOME Shell keeps this shortcut through Lumora&apos;s extension; change it here.</source>
        <translation>GNOME Shell verwaltet dieses Tastenkürzel über die Erweiterung von Lumora; ändern Sie es hier.</translation>
    </message>
</context>
<context>
    <name>GnomeShellExtension</name>
    <message>
        <source>GNOME Shell is not running</source>
        <translation>GNOME Shell läuft nicht</translation>
    </message>
    <message>
        <source>GNOME Shell needs Lumora&apos;s extension for this; with it a session also keeps the overlay above every window, shows the countdown in the top bar and takes the shortcut. Settings, General, GNOME Shell installs it</source>
        <translation>GNOME Shell braucht dafür die Erweiterung von Lumora; mit ihr hält eine Sitzung auch die Überlagerung über jedem Fenster, zeigt den Countdown in der oberen Leiste und nimmt das Tastenkürzel an. Einstellungen, Allgemein, GNOME Shell installiert sie</translation>
    </message>
    <message>
        <source>Lumora&apos;s GNOME Shell extension does not answer this process</source>
        <translation>Die GNOME-Shell-Erweiterung von Lumora antwortet diesem Prozess nicht</translation>
    </message>
    <message>
        <source>Lumora&apos;s GNOME Shell extension is version %1, Lumora %2; install the extension that came with Lumora and log in again</source>
        <translation>Die GNOME-Shell-Erweiterung von Lumora hat Version %1, Lumora %2; installieren Sie die Erweiterung, die mit Lumora kam, und melden Sie sich erneut an</translation>
    </message>
</context>
<context>
    <name>GnomeShellSection</name>
    <message>
        <source>GNOME Shell</source>
        <translation>GNOME Shell</translation>
    </message>
    <message>
        <source>Install for This User</source>
        <translation>Für diesen Benutzer installieren</translation>
    </message>
    <message>
        <source>Copies Lumora&apos;s extension to ~/.local/share/gnome-shell/extensions and enables it</source>
        <translation>Kopiert die Erweiterung von Lumora nach ~/.local/share/gnome-shell/extensions und aktiviert sie</translation>
    </message>
    <message>
        <source>GNOME lets programs hide other applications, keep a window above every other one, show a countdown in the top bar and take a global shortcut only through an extension. With Lumora&apos;s extension a session does all of that.</source>
        <translation>GNOME lässt Programme andere Anwendungen nur über eine Erweiterung ausblenden, ein Fenster über allen anderen halten, einen Countdown in der oberen Leiste zeigen und ein globales Tastenkürzel annehmen. Mit der Erweiterung von Lumora tut eine Sitzung all das.</translation>
    </message>
    <message>
        <source>Lumora&apos;s extension is installed, enabled and connected</source>
        <translation>Die Erweiterung von Lumora ist installiert, aktiviert und verbunden</translation>
    </message>
    <message>
        <source>Lumora&apos;s extension is installed and enabled, but not connected (%1)</source>
        <translation>Die Erweiterung von Lumora ist installiert und aktiviert, aber nicht verbunden (%1)</translation>
    </message>
    <message>
        <source>Lumora&apos;s extension is installed but not enabled</source>
        <translation>Die Erweiterung von Lumora ist installiert, aber nicht aktiviert</translation>
    </message>
    <message>
        <source>Lumora&apos;s extension is not installed</source>
        <translation>Die Erweiterung von Lumora ist nicht installiert</translation>
    </message>
    <message>
        <source>Not installed: %1</source>
        <translation>Nicht installiert: %1</translation>
    </message>
    <message>
        <source>Installed and enabled.</source>
        <translation>Installiert und aktiviert.</translation>
    </message>
    <message>
        <source>Installed and enabled. GNOME on Wayland loads a newly installed extension only after you log out and log in again.</source>
        <translation>Installiert und aktiviert. GNOME unter Wayland lädt eine neu installierte Erweiterung erst, nachdem Sie sich ab- und wieder angemeldet haben.</translation>
    </message>
    <message>
        <source>Installed and enabled. GNOME loads it when the shell restarts (Alt+F2, then r) or after you log in again.</source>
        <translation>Installiert und aktiviert. GNOME lädt sie, wenn die Shell neu startet (Alt+F2, dann r), oder nach der nächsten Anmeldung.</translation>
    </message>
</context>
<context>
    <name>GnomeShellSetup</name>
    <message>
        <source>cannot make the folder %1</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the extension was not installed with Lumora</source>
        <translation>die Erweiterung wurde nicht mit Lumora installiert</translation>
    </message>
    <message>
        <source>GNOME&apos;s settings cannot be read (gsettings)</source>
        <translation>Die Einstellungen von GNOME können nicht gelesen werden (gsettings)</translation>
    </message>
    <message>
        <source>GNOME&apos;s settings cannot be written (gsettings)</source>
        <translation>Die Einstellungen von GNOME können nicht geschrieben werden (gsettings)</translation>
    </message>
</context>
<context>
    <name>ItemTitle</name>
    <message>
        <source>New Item</source>
        <translation>Neues Element</translation>
    </message>
</context>
<context>
    <name>KWinScripting</name>
    <message>
        <source>no session bus</source>
        <translation>kein Sitzungsbus</translation>
    </message>
    <message>
        <source>cannot take KWin&apos;s answers on the session bus</source>
        <translation>kann KWins Antworten auf dem Sitzungsbus nicht entgegennehmen</translation>
    </message>
    <message>
        <source>cannot write a script file</source>
        <translation>kann keine Skriptdatei schreiben</translation>
    </message>
    <message>
        <source>KWin does not load scripts: %1</source>
        <translation>KWin lädt keine Skripte: %1</translation>
    </message>
    <message>
        <source>KWin refused to load a script</source>
        <translation>KWin hat das Laden eines Skripts abgelehnt</translation>
    </message>
    <message>
        <source>KWin does not run scripts</source>
        <translation>KWin führt keine Skripte aus</translation>
    </message>
    <message>
        <source>KWin did not answer in time</source>
        <translation>KWin hat nicht rechtzeitig geantwortet</translation>
    </message>
    <message>
        <source>KWin keeps a script of an earlier run loaded</source>
        <translation>KWin hält ein Skript eines früheren Laufs geladen</translation>
    </message>
</context>
<context>
    <name>KWinWorkspace</name>
    <message>
        <source>KWin&apos;s script gave an answer that cannot be read</source>
        <translation>Das KWin-Skript gab eine Antwort, die nicht gelesen werden kann</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>New Focus Screen</source>
        <translation>Neuer Fokus-Bildschirm</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Quit Lumora</source>
        <translation>Lumora beenden</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Show Sidebar</source>
        <translation>Seitenleiste anzeigen</translation>
    </message>
    <message>
        <source>Show Toolbar</source>
        <translation>Werkzeugleiste anzeigen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>About Lumora</source>
        <translation>Über Lumora</translation>
    </message>
</context>
<context>
    <name>MenuBarPopover</name>
    <message>
        <source>Open Lumora...</source>
        <translation>Lumora öffnen …</translation>
    </message>
    <message>
        <source>Quit Lumora</source>
        <translation>Lumora beenden</translation>
    </message>
    <message>
        <source>No Focus Screens</source>
        <translation>Keine Fokus-Bildschirme</translation>
    </message>
    <message>
        <source>Create one in the main window to get started.</source>
        <translation>Legen Sie im Hauptfenster einen an, um loszulegen.</translation>
    </message>
</context>
<context>
    <name>NativeMessaging::Reader</name>
    <message>
        <source>a message of %1 bytes is longer than the %2 bytes a message may have; it is skipped</source>
        <translation>eine Nachricht von %1 Bytes ist länger als die %2 Bytes, die eine Nachricht haben darf; sie wird übersprungen</translation>
    </message>
    <message>
        <source>a message of %1 bytes is not JSON (%2); it is skipped</source>
        <translation>eine Nachricht von %1 Bytes ist kein JSON (%2); sie wird übersprungen</translation>
    </message>
    <message>
        <source>a message is not a JSON object; it is skipped</source>
        <translation>eine Nachricht ist kein JSON-Objekt; sie wird übersprungen</translation>
    </message>
    <message>
        <source>the pipe closed %1 bytes before the end of a message that was being skipped</source>
        <translation>die Pipe wurde %1 Bytes vor dem Ende einer übersprungenen Nachricht geschlossen</translation>
    </message>
    <message>
        <source>the pipe closed in the middle of a message (%1 of %2 bytes)</source>
        <translation>die Pipe wurde mitten in einer Nachricht geschlossen (%1 von %2 Bytes)</translation>
    </message>
    <message>
        <source>the pipe closed in the middle of a length prefix (%1 of 4 bytes)</source>
        <translation>die Pipe wurde mitten in einer Längenangabe geschlossen (%1 von 4 Bytes)</translation>
    </message>
</context>
<context>
    <name>NewProfileSheet</name>
    <message>
        <source>New Lock Profile</source>
        <translation>Neues Sperrprofil</translation>
    </message>
    <message>
        <source>Profile Name</source>
        <translation>Profilname</translation>
    </message>
    <message>
        <source>Lock Mode</source>
        <translation>Sperrmodus</translation>
    </message>
    <message>
        <source>Blocked Applications (comma-separated IDs)</source>
        <translation>Gesperrte Anwendungen (Kennungen, durch Kommas getrennt)</translation>
    </message>
    <message>
        <source>Blocked Websites (comma-separated domains)</source>
        <translation>Gesperrte Webseiten (Domains, durch Kommas getrennt)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Add Profile</source>
        <translation>Profil hinzufügen</translation>
    </message>
    <message>
        <source>New Profile</source>
        <translation>Neues Profil</translation>
    </message>
</context>
<context>
    <name>NotificationHold</name>
    <message>
        <source>Lumora: Notifications are not held back: %1</source>
        <translation>Lumora: Benachrichtigungen werden nicht zurückgehalten: %1</translation>
    </message>
</context>
<context>
    <name>PortalHotKeyBackend</name>
    <message>
        <source>Show Lumora&apos;s focus screens</source>
        <translation>Lumoras Fokus-Bildschirme zeigen</translation>
    </message>
    <message>
        <source>Lumora: This desktop offers programs no global shortcuts (no GlobalShortcuts portal); bind a shortcut to &quot;lumora --popover&quot; in the desktop&apos;s keyboard settings</source>
        <translation>Lumora: Dieser Desktop bietet Programmen keine globalen Tastenkürzel (kein GlobalShortcuts-Portal); legen Sie in den Tastatureinstellungen des Desktops ein Tastenkürzel für „lumora --popover“ fest</translation>
    </message>
    <message>
        <source>Lumora: The desktop did not open a global-shortcut session (%1); bind a shortcut to &quot;lumora --popover&quot; in the desktop&apos;s keyboard settings</source>
        <translation>Lumora: Der Desktop hat keine Sitzung für globale Tastenkürzel geöffnet (%1); legen Sie in den Tastatureinstellungen des Desktops ein Tastenkürzel für „lumora --popover“ fest</translation>
    </message>
    <message>
        <source>Lumora: The global shortcut %1 was declined; bind a shortcut to &quot;lumora --popover&quot; in the desktop&apos;s keyboard settings</source>
        <translation>Lumora: Das globale Tastenkürzel %1 wurde abgelehnt; legen Sie in den Tastatureinstellungen des Desktops ein Tastenkürzel für „lumora --popover“ fest</translation>
    </message>
    <message>
        <source>Lumora: The desktop could not bind the global shortcut %1 (%2); bind a shortcut to &quot;lumora --popover&quot; in the desktop&apos;s keyboard settings</source>
        <translation>Lumora: Der Desktop konnte das globale Tastenkürzel %1 nicht festlegen (%2); legen Sie in den Tastatureinstellungen des Desktops ein Tastenkürzel für „lumora --popover“ fest</translation>
    </message>
</context>
<context>
    <name>ProfilesSettings</name>
    <message>
        <source>App Lock Profiles</source>
        <translation>Sperrprofile für Anwendungen</translation>
    </message>
    <message>
        <source>No Profiles</source>
        <translation>Keine Profile</translation>
    </message>
    <message>
        <source>Create reusable blocking profiles.</source>
        <translation>Legen Sie wiederverwendbare Sperrprofile an.</translation>
    </message>
    <message>
        <source>New Profile...</source>
        <translation>Neues Profil …</translation>
    </message>
    <message>
        <source>%1 apps, %2 sites</source>
        <translation>%1 Anwendungen, %2 Webseiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>RecordList</name>
    <message>
        <source>Delete “%1”?</source>
        <translation>„%1“ löschen?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>ScheduleEditor</name>
    <message>
        <source>Add Schedule</source>
        <translation>Zeitplan hinzufügen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>Until</source>
        <extracomment>Before the time by which a scheduled session stops.</extracomment>
        <translation>bis</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
</context>
<context>
    <name>SessionSound</name>
    <message>
        <source>Focus session complete</source>
        <translation>Fokus-Sitzung abgeschlossen</translation>
    </message>
</context>
<context>
    <name>SettingsPlaceholder</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open the Settings window to change preferences.</source>
        <translation>Öffnen Sie das Einstellungsfenster, um Einstellungen zu ändern.</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>ShortcutField</name>
    <message>
        <source>Press a shortcut</source>
        <translation>Tastenkürzel drücken</translation>
    </message>
</context>
<context>
    <name>Sidebar</name>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source> (process %1)</source>
        <translation> (Prozess %1)</translation>
    </message>
    <message>
        <source>lumora: Lumora is already running on this store%1, but it cannot be reached: %2</source>
        <translation>lumora: Lumora läuft bereits mit diesem Speicher%1, ist aber nicht erreichbar: %2</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>sie kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>sie ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is empty</source>
        <translation>sie ist leer</translation>
    </message>
    <message>
        <source>it names no process</source>
        <translation>sie nennt keinen Prozess</translation>
    </message>
    <message>
        <source>it was written on another machine (%1)</source>
        <translation>sie wurde auf einem anderen Rechner geschrieben (%1)</translation>
    </message>
    <message>
        <source>it was written on another machine</source>
        <translation>sie wurde auf einem anderen Rechner geschrieben</translation>
    </message>
    <message>
        <source>it was written before the last start of this machine</source>
        <translation>sie wurde vor dem letzten Start dieses Rechners geschrieben</translation>
    </message>
    <message>
        <source>process %1 has ended</source>
        <translation>Prozess %1 ist beendet</translation>
    </message>
    <message>
        <source>process %1 is not Lumora</source>
        <translation>Prozess %1 ist nicht Lumora</translation>
    </message>
    <message>
        <source>process %1 does not hold it</source>
        <translation>Prozess %1 hält sie nicht</translation>
    </message>
    <message>
        <source>lumora: the lock file %1 holds nothing (%2), but it cannot be moved aside: %3</source>
        <translation>lumora: Die Sperrdatei %1 hält nichts (%2), kann aber nicht beiseitegelegt werden: %3</translation>
    </message>
    <message>
        <source>lumora: taking over the lock file %1: %2; the old one is now %3</source>
        <translation>lumora: Die Sperrdatei %1 wird übernommen: %2; die alte heißt jetzt %3</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>I choose to stay with this work until the timer ends, one calm step at a time.</source>
        <translation>Ich bleibe bei dieser Arbeit, bis der Timer endet, ruhig Schritt für Schritt.</translation>
    </message>
</context>
<context>
    <name>StatsSettings</name>
    <message numerus="yes">
        <source>%n days</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tage</numerusform>
        </translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Total Sessions</source>
        <translation>Sitzungen insgesamt</translation>
    </message>
    <message>
        <source>Total Focus Time</source>
        <translation>Fokuszeit insgesamt</translation>
    </message>
    <message>
        <source>Current Streak</source>
        <translation>Aktuelle Serie</translation>
    </message>
    <message>
        <source>Longest Streak</source>
        <translation>Längste Serie</translation>
    </message>
    <message>
        <source>Last 14 Days</source>
        <translation>Letzte 14 Tage</translation>
    </message>
    <message>
        <source>Recent Sessions</source>
        <translation>Letzte Sitzungen</translation>
    </message>
    <message>
        <source>No Sessions Yet</source>
        <translation>Noch keine Sitzungen</translation>
    </message>
    <message>
        <source>Complete focus sessions to see statistics.</source>
        <translation>Schließen Sie Fokus-Sitzungen ab, um eine Statistik zu sehen.</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Ended Early</source>
        <translation>Vorzeitig beendet</translation>
    </message>
    <message>
        <source>Focus Time with Ended Early</source>
        <translation>Fokuszeit mit vorzeitig beendeten</translation>
    </message>
</context>
<context>
    <name>StatusText</name>
    <message>
        <source>%1 - %2 remaining</source>
        <translation>%1 – noch %2</translation>
    </message>
    <message>
        <source>Lumora - Focus Sessions</source>
        <translation>Lumora – Fokus-Sitzungen</translation>
    </message>
</context>
<context>
    <name>Store</name>
    <message>
        <source>Could not open the database at %1: %2</source>
        <translation>Die Datenbank unter %1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Lumora brought the database at %1 up to date; the one it was is kept at %2</source>
        <translation>Lumora hat die Datenbank unter %1 auf den neuen Stand gebracht; die bisherige liegt unter %2</translation>
    </message>
</context>
<context>
    <name>Theme</name>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Indigo</source>
        <translation>Indigo</translation>
    </message>
    <message>
        <source>Violet</source>
        <translation>Violett</translation>
    </message>
    <message>
        <source>Pink</source>
        <translation>Rosa</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Mint</source>
        <translation>Minze</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Petrol</translation>
    </message>
    <message>
        <source>Graphite</source>
        <translation>Graphit</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>lumora: Lumora is not running</source>
        <translation>lumora: Lumora läuft nicht</translation>
    </message>
    <message>
        <source>could not export the sessions: %1</source>
        <translation>die Sitzungen konnten nicht exportiert werden: %1</translation>
    </message>
</context>
</TS>
