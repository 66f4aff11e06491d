#pragma once
// The window switches (Check2..Check7): one instance of each window, made on its first tick,
// shown and hidden by its switch, never destroyed while the program runs. Closing a window by
// its title bar clears its switch.
#include "workbench/workbench.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class QSettings;
class QWidget;

namespace zul {

class Switchboard : public QObject {
    Q_OBJECT
public:
    // Makes the window of a switch; the switchboard owns what it returns.
    using Factory = std::function<QWidget*()>;

    explicit Switchboard(Workbench& workbench, QObject* parent = nullptr);
    ~Switchboard() override;

    // The window behind `s`, made by `make` on the first tick. A switch without a window does
    // nothing but keep its state.
    void registerWindow(Switch s, Factory make);
    // The window of `s`, or nullptr while it has not been made.
    QWidget* window(Switch s) const;
    // The window of `s`, made now if it has not been (for another window that hands it work).
    QWidget* ensureWindow(Switch s);

    // The main window, which the other windows may ask to see.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    void showMainWindow();
    // Ticks `s` as the user would: its window is made and shown.
    void open(Switch s);

    // Where window geometry is kept: each window opens where it was left; without preferences
    // it opens at its content's size, within the screen, apart from the others.
    void setPreferences(QSettings* settings) { m_settings = settings; }
    // Keeps the geometry of every window made so far.
    void saveGeometries(QSettings& settings) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSwitch(Switch s, bool on);

    Workbench& m_workbench;
    std::array<Factory, static_cast<int>(Switch::Count)> m_factories;
    std::array<QPointer<QWidget>, static_cast<int>(Switch::Count)> m_windows;
    QPointer<QWidget> m_mainWindow;
    QSettings* m_settings = nullptr;
    int m_placed = 0; // windows placed so far, for the cascade
};

} // namespace zul
