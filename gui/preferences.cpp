#include "gui/preferences.h"

#include "records/safefiles.h"
#include "workbench/workbench.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>

namespace zul {

namespace {

constexpr const char* kOrganisation = "zul";
constexpr const char* kApplication = "ZUL";

QRect availableArea(const QWidget& w) {
    const QScreen* screen = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

QString preferencesFile() {
    // Where the settings of the user's scope keep an INI file on this system.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
           kOrganisation + '/' + kApplication + ".ini";
}

std::unique_ptr<QSettings> openPreferences(QString* refused) {
    // The settings read their file as they are made: a FIFO in its place would hold the program
    // before its first window. Such a file is neither read nor written; the settings then go to
    // a name below it, which nothing can read or make.
    const QString file = preferencesFile();
    if (const QString special = notRegularFile(file); !special.isEmpty()) {
        if (refused) *refused = special;
        return std::make_unique<QSettings>(file + "/" + kApplication + ".ini",
                                           QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation,
                                       kApplication);
}

QString forgetPreferences(QString* error) {
    QString refused;
    const auto settings = openPreferences(&refused);
    if (!refused.isEmpty()) {
        if (error) *error = refused + "; the preferences were not forgotten";
        return preferencesFile();
    }
    settings->clear();
    settings->sync();
    if (settings->status() != QSettings::NoError && error)
        *error = '"' + settings->fileName() +
                 "\" could not be written; the preferences were not forgotten";
    return settings->fileName();
}

QSize fittedSize(QSize wanted, const QRect& available, QSize frame) {
    if (available.isEmpty()) return wanted;
    const QSize room = (available.size() - frame).expandedTo(QSize(1, 1));
    return wanted.boundedTo(room);
}

QPoint cascadePosition(int order, QSize size, const QRect& available) {
    constexpr int kStep = 32;
    QPoint at = available.topLeft() + QPoint(order * kStep, order * kStep);
    // Back to the left or top edge rather than off the screen.
    if (at.x() + size.width() > available.right()) at.setX(available.left());
    if (at.y() + size.height() > available.bottom()) at.setY(available.top());
    return at;
}

void placeWindow(QWidget& w, int order, QSettings* settings, const QString& key) {
    const QRect area = availableArea(w);
    // A window whose layout asks for more than it was given opens at its content's size.
    const QSize wanted = w.size().expandedTo(w.sizeHint());
    const QSize size = fittedSize(wanted, area);
    w.resize(size);
    if (!area.isEmpty()) w.move(cascadePosition(order, size, area));
    if (!settings || key.isEmpty()) return;
    const QByteArray geometry = settings->value("windows/" + key).toByteArray();
    if (geometry.isEmpty() || !w.restoreGeometry(geometry)) return;
    w.setProperty(kGeometryRestored, true);
    // A geometry kept on a larger screen, or at a smaller scale, is brought back inside.
    const QRect now = availableArea(w);
    const QSize kept = fittedSize(w.size(), now);
    if (kept != w.size()) w.resize(kept);
    // Restoring keeps room above the window for a title bar; a window kept without one (no
    // window manager) would come back that much lower each time it starts at the top.
    const QRect unframed = settings->value("unframed/" + key).toRect();
    if (unframed.isValid() && now.contains(unframed) &&
        fittedSize(unframed.size(), now) == unframed.size() && w.windowState() == Qt::WindowNoState)
        w.setGeometry(unframed);
}

void saveWindowGeometry(QSettings& settings, const QWidget& w, const QString& key) {
    settings.setValue("windows/" + key, w.saveGeometry());
    if (w.frameGeometry() == w.geometry() && w.windowState() == Qt::WindowNoState)
        settings.setValue("unframed/" + key, w.geometry());
    else
        settings.remove("unframed/" + key);
}

void saveWorkbenchPreferences(QSettings& settings, const Workbench& workbench) {
    settings.setValue("workbench/illuminant", workbench.illuminant());
    settings.setValue("workbench/pwd", workbench.pwdState());
    settings.setValue("workbench/adapt", workbench.adaptEntries());
    settings.setValue("workbench/gamma", workbench.slider(Slider::Gamma));
    settings.setValue("workbench/tint", workbench.slider(Slider::Tint));
    if (!workbench.lastPaletteName().isEmpty())
        settings.setValue("workbench/palette", workbench.lastPaletteName());
}

void restoreWorkbenchPreferences(QSettings& settings, Workbench& workbench) {
    auto number = [&](const char* key, int lowest, int highest, int current) {
        bool ok = false;
        const int v = settings.value(key, current).toInt(&ok);
        return ok && v >= lowest && v <= highest ? v : current;
    };
    auto restoreSlider = [&](const char* key, Slider s) {
        const SliderRange r = sliderRange(s);
        const int position = number(key, r.min, r.max, workbench.slider(s));
        if (position != workbench.slider(s)) workbench.sliderMoved(s, position);
    };
    // Gamma and tint first: the illuminant's conversion then shows in the display kept.
    restoreSlider("workbench/gamma", Slider::Gamma);
    restoreSlider("workbench/tint", Slider::Tint);
    const int illuminant = number("workbench/illuminant", 0, 2, workbench.illuminant());
    if (illuminant != workbench.illuminant()) workbench.selectIlluminant(illuminant);
    // PWD's greyed state (2) is the program's own; the user only ticks or clears it.
    const int pwd = number("workbench/pwd", 0, 1, workbench.pwdState());
    if (pwd != workbench.pwdState()) workbench.setPwd(pwd);
    const bool adapt = settings.value("workbench/adapt", workbench.adaptEntries()).toBool();
    if (adapt != workbench.adaptEntries()) workbench.setAdaptEntries(adapt);
    // The palette the save dialogs propose; the current palette file stays unset, so the first
    // save of the run still asks.
    const QString palette = settings.value("workbench/palette").toString();
    if (!palette.isEmpty()) workbench.setLastPaletteName(palette);
}

QString lastFolder(const QString& title) {
    const QString folder = openPreferences()->value("folders/" + title).toString();
    return QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFolder(const QString& title, const QString& chosenFile) {
    if (chosenFile.isEmpty()) return;
    openPreferences()->setValue("folders/" + title, QFileInfo(chosenFile).absolutePath());
}

} // namespace zul
