#pragma once
// The instrument group of the main window without its widgets: the list text and the current
// instrument name, the port, which controls show and what they read, the message field (Text3)
// and the imported-file label (Label6), whether an exchange runs, and the closing steps that turn
// a good reading into a colour on the workbench. The window binds its controls to this; the
// command line drives it the same way.
#include "colorimetry/tristimulus.h"
#include "instruments/clock.h"
#include "instruments/protocol.h"
#include "instruments/protocollog.h"
#include "instruments/seriallink.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace zul {

class Workbench;

namespace instruments {

class InstrumentPanel : public QObject {
    Q_OBJECT
public:
    using LinkFactory = std::function<std::unique_ptr<SerialLink>(int port, Clock& clock)>;
    enum class Busy { None, Calibrate, Measure };

    // The settings file lives in `settingsDir` ("." for the working directory).
    explicit InstrumentPanel(Workbench& workbench, QString settingsDir = QStringLiteral("."),
                             QObject* parent = nullptr);
    ~InstrumentPanel() override;

    // Where exchanges find their port (default: linkForPort) and their clock (steady).
    void setLinkFactory(LinkFactory f) { m_linkFactory = std::move(f); }
    void setClock(Clock* clock) { m_clock = clock; }
    // Runs pending window events during waits (default: QCoreApplication::processEvents).
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // --- user actions
    void startUp();                       // reads the settings file, sets the controls
    void listChosen(const QString& text); // Combo1 click
    void listEdited(const QString& text); // Combo1 text typed: taken by the next Measure
    // The command line: instrument and port for this run, nothing written to the settings file.
    void setInstrument(const QString& name, int port);
    void portEdited(const QString& text); // Text4 change
    Outcome::Kind calibratePressed();     // Command7 (reads "Stop" while measuring)
    Outcome::Kind measurePressed();       // Command8 (reads "Stop" while calibrating)
    void stop();                          // Stop, Esc, closing the window
    // A spectral file dropped on the window: imported as "Import" imports a chosen one.
    Outcome::Kind importDropped(const QString& file);

    // --- state shown by the window
    const QString& listText() const { return m_listText; }
    const QString& instrumentName() const { return m_name; }
    int port() const { return m_port; }
    const QString& portText() const { return m_portText; }
    bool calibrateVisible() const { return m_calibrateVisible; }
    bool measureVisible() const { return m_measureVisible; }
    bool portVisible() const { return m_portVisible; }
    QString calibrateCaption() const;
    QString measureCaption() const;
    bool calibrateEnabled() const { return m_busy != Busy::Measure; }
    bool measureEnabled() const { return m_busy != Busy::Calibrate; }
    bool listEnabled() const { return m_busy == Busy::None; }
    Busy busy() const { return m_busy; }
    const QString& message() const { return m_message; }        // Text3
    const QString& importedLabel() const { return m_imported; } // Label6
    // The last good reading and the one before it, for the reflectance curve.
    const Reflectance& curve() const { return m_curve; }
    const Reflectance& previousCurve() const { return m_previous; }
    int readings() const { return m_readings; }
    const ProtocolLog& log() const { return m_log; }
    ProtocolLog& log() { return m_log; }
    // What the last exchange or import ended with.
    const Outcome& lastOutcome() const { return m_last; }

signals:
    void changed();
    void messageShown(const QString& text); // every text written into the message field

private:
    class Ui;
    Outcome::Kind run(bool calibrate);
    Outcome::Kind importFile(QString file = {});  // asks for the file when none is given
    bool closingSteps(const Reflectance& values); // true when the workbench took the reading
    void writeSettings(const QString& name);
    void setControlsFor(const QString& listText);
    void setMessage(const QString& text);
    Protocol* protocolFor(const QString& name);

    Workbench& m_wb;
    QString m_settingsDir;
    LinkFactory m_linkFactory;
    Clock* m_clock = nullptr;
    std::unique_ptr<Clock> m_ownClock;
    std::function<void()> m_pump;
    std::map<QString, std::unique_ptr<Protocol>> m_protocols; // state kept between exchanges

    QString m_listText;
    QString m_name;
    int m_port = 1;
    QString m_portText = QStringLiteral("1");
    bool m_calibrateVisible = false;
    bool m_measureVisible = false;
    bool m_portVisible = false;
    bool m_import = false;
    Busy m_busy = Busy::None;
    bool m_stop = false;
    QString m_message;
    QString m_imported;
    Reflectance m_curve{};
    Reflectance m_previous{};
    int m_readings = 0;
    ProtocolLog m_log;
    Outcome m_last;
};

} // namespace instruments
} // namespace zul
