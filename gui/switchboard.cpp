#include "gui/switchboard.h"

#include "gui/preferences.h"

#include <QCloseEvent>
#include <QWidget>

#include <iterator>

namespace zul {

namespace {
QString geometryKey(Switch s) {
    static const char* const keys[] = {"hue",     "tolerance", "value",    "colorchecker",
                                       "picture", "viewer",    "spectral", "qc"};
    static_assert(std::size(keys) == static_cast<std::size_t>(Switch::Count));
    return QString::fromLatin1(keys[static_cast<int>(s)]);
}
} // namespace

Switchboard::Switchboard(Workbench& workbench, QObject* parent)
    : QObject(parent), m_workbench(workbench) {
    connect(&workbench, &Workbench::switchChanged, this, &Switchboard::onSwitch);
}

Switchboard::~Switchboard() {
    for (QPointer<QWidget>& w : m_windows)
        delete w.data();
}

void Switchboard::registerWindow(Switch s, Factory make) {
    m_factories[static_cast<int>(s)] = std::move(make);
}

QWidget* Switchboard::window(Switch s) const {
    return m_windows[static_cast<int>(s)].data();
}

QWidget* Switchboard::ensureWindow(Switch s) {
    QPointer<QWidget>& w = m_windows[static_cast<int>(s)];
    if (!w && m_factories[static_cast<int>(s)]) {
        w = m_factories[static_cast<int>(s)]();
        if (!w) return nullptr;
        w->installEventFilter(this);
        placeWindow(*w, ++m_placed, m_settings, geometryKey(s));
    }
    return w.data();
}

void Switchboard::saveGeometries(QSettings& settings) const {
    for (int i = 0; i < static_cast<int>(Switch::Count); ++i)
        if (const QWidget* w = m_windows[i].data())
            saveWindowGeometry(settings, *w, geometryKey(static_cast<Switch>(i)));
}

void Switchboard::showMainWindow() {
    if (!m_mainWindow) return;
    m_mainWindow->show();
    m_mainWindow->raise();
}

void Switchboard::open(Switch s) {
    if (!m_workbench.switchOn(s)) m_workbench.setSwitch(s, true);
}

void Switchboard::onSwitch(Switch s, bool on) {
    if (!on) {
        if (QWidget* w = window(s)) w->hide();
        return;
    }
    QWidget* w = ensureWindow(s);
    if (!w) return;
    w->show();
    w->raise();
    w->activateWindow();
}

bool Switchboard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        for (int i = 0; i < static_cast<int>(Switch::Count); ++i) {
            if (m_windows[i] != watched) continue;
            // Hidden, not destroyed: the switch goes off and the window waits for the next tick.
            if (m_workbench.switchOn(static_cast<Switch>(i)))
                m_workbench.setSwitch(static_cast<Switch>(i), false);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zul
