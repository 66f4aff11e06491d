#pragma once
// What the window face remembers between runs, kept with QSettings in the user's configuration
// folder: window geometry, the illuminant and its switches, gamma, tint, the last folders of
// the file dialogs and the last palette name. The instrument settings stay in zul.cfg. Nothing
// here is read or written while no preferences are opened, so a first start (or one after
// --reset-settings) looks as the program's defaults.
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QSettings;
class QWidget;

namespace zul {

class Workbench;

// The preferences file of the window face. When the file is there but is not a regular file (a
// FIFO, a device), it is left alone, the preferences start empty and go nowhere, and `refused`
// gets the message: `"F" is not a regular file`.
std::unique_ptr<QSettings> openPreferences(QString* refused = nullptr);
// Forgets every preference (`zul --reset-settings`); the file's path, for the message. When they
// could not be forgotten (the file is read-only, or not a regular file), `error` says so.
QString forgetPreferences(QString* error = nullptr);

// The size a window of `wanted` size takes in `available` (a screen's available area): its
// own where it fits, never larger than the area less `frame` (title bar and borders).
QSize fittedSize(QSize wanted, const QRect& available, QSize frame = QSize(8, 32));
// Where the `order`-th window opened goes: steps down and right from the area's top left so
// windows opened together do not hide each other, kept inside the area.
QPoint cascadePosition(int order, QSize size, const QRect& available);

// Sizes `w` to its content within its screen's available area and places it `order` steps
// from the top left; then, when `settings` holds a geometry under `key`, takes that instead
// (bounded to the screen as well).
// Set on a window whose kept geometry placeWindow restored.
inline constexpr const char* kGeometryRestored = "zulGeometryRestored";
void placeWindow(QWidget& w, int order, QSettings* settings = nullptr, const QString& key = {});
void saveWindowGeometry(QSettings& settings, const QWidget& w, const QString& key);

// The illuminant, PWD, "Adapt entries", gamma, tint and the last palette name. Restoring replays
// them as the user's own choices, so every field follows; values equal to the current ones change
// nothing.
void saveWorkbenchPreferences(QSettings& settings, const Workbench& workbench);
void restoreWorkbenchPreferences(QSettings& settings, Workbench& workbench);

// The folder last used by the file dialog titled `title`, and remembering one.
QString lastFolder(const QString& title);
void rememberFolder(const QString& title, const QString& chosenFile);

} // namespace zul
