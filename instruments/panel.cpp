#include "instruments/panel.h"

#include "instruments/settings.h"
#include "records/safefiles.h"
#include "records/spectralimport.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/workbench.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>

namespace zul::instruments {

namespace {

constexpr qint64 kMaxImportBytes = 16 * 1024 * 1024;

bool isListEntry(const QString& text) {
    return text == "Import" || serialInstrumentNames().contains(text);
}

} // namespace

// Questions and boxes through the workbench's dialogs; the message field through the panel.
class InstrumentPanel::Ui : public InstrumentUi {
public:
    explicit Ui(InstrumentPanel& panel) : m_panel(panel) {}
    void message(const QString& text) override {
        m_panel.m_wb.dialogs().message(text);
        m_panel.setMessage(text);
    }
    Answer ask(const QString& text, const QString& title, Buttons buttons) override {
        const auto shown = buttons == Buttons::OkCancel ? Dialogs::Buttons::OkCancel
                                                        : Dialogs::Buttons::YesNoCancel;
        switch (m_panel.m_wb.dialogs().message(text, title, shown)) {
        case Dialogs::Answer::Ok:
            return Answer::Ok;
        case Dialogs::Answer::Yes:
            return Answer::Yes;
        case Dialogs::Answer::No:
            return Answer::No;
        case Dialogs::Answer::Cancel:
            break;
        }
        return Answer::Cancel;
    }
    void status(const QString& text) override { m_panel.setMessage(text); }

private:
    InstrumentPanel& m_panel;
};

InstrumentPanel::InstrumentPanel(Workbench& workbench, QString settingsDir, QObject* parent)
    : QObject(parent), m_wb(workbench), m_settingsDir(std::move(settingsDir)),
      m_linkFactory([](int port, Clock& clock) { return linkForPort(port, clock); }),
      m_pump([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }) {}

InstrumentPanel::~InstrumentPanel() = default;

QString InstrumentPanel::calibrateCaption() const {
    return m_busy == Busy::Calibrate ? QStringLiteral("Stop") : QStringLiteral("Calibrate");
}

QString InstrumentPanel::measureCaption() const {
    if (m_busy == Busy::Measure) return QStringLiteral("Stop");
    return m_import ? QStringLiteral("Import %R") : QStringLiteral("Measure");
}

void InstrumentPanel::setMessage(const QString& text) {
    m_message = text;
    emit messageShown(text);
    emit changed();
}

void InstrumentPanel::setControlsFor(const QString& listText) {
    m_import = listText == "Import";
    m_calibrateVisible = !m_import;
    m_portVisible = !m_import;
}

void InstrumentPanel::startUp() {
    if (const auto s = readSettingsFile(m_settingsDir)) {
        m_name = s->name;
        m_port = s->port;
    }
    m_listText = m_name;
    m_portText = QString::number(m_port); // the port in use, not a fixed "1"
    if (m_name.isEmpty()) {
        // Nothing chosen yet: only the list shows.
        m_calibrateVisible = m_measureVisible = m_portVisible = false;
        m_import = false;
    } else {
        setControlsFor(m_listText);
        m_measureVisible = true;
    }
    emit changed();
}

void InstrumentPanel::writeSettings(const QString& name) {
    QString error;
    if (!writeSettingsFile(m_settingsDir, {name, m_port}, error)) setMessage(error);
}

void InstrumentPanel::listChosen(const QString& text) {
    if (m_busy != Busy::None) return;
    m_listText = text;
    writeSettings(text);
    setControlsFor(text);
    m_measureVisible = true;
    emit changed();
}

void InstrumentPanel::listEdited(const QString& text) {
    if (m_busy != Busy::None || text == m_listText) return;
    m_listText = text;
    emit changed();
}

void InstrumentPanel::setInstrument(const QString& name, int port) {
    m_listText = name;
    m_port = port;
    m_portText = QString::number(port);
    setControlsFor(name);
    m_measureVisible = true;
    emit changed();
}

void InstrumentPanel::portEdited(const QString& text) {
    if (m_busy != Busy::None) return;
    m_portText = text; // left as typed
    m_port = clampPort(text);
    writeSettings(m_listText);
    emit changed();
}

void InstrumentPanel::stop() {
    if (m_busy != Busy::None) m_stop = true;
}

Outcome::Kind InstrumentPanel::calibratePressed() {
    if (m_busy == Busy::Calibrate) {
        stop();
        return Outcome::Kind::Stopped;
    }
    if (m_busy != Busy::None) return Outcome::Kind::Stopped;
    if (m_listText == "Instrument") {
        m_wb.dialogs().alert(Dialogs::Icon::Critical,
                             "No Instrument found - CE-7000 or CE-2180 only");
        return Outcome::Kind::Refused;
    }
    if (!protocolFor(m_listText)) return Outcome::Kind::Done; // nothing to calibrate
    return run(true);
}

Outcome::Kind InstrumentPanel::measurePressed() {
    if (m_busy == Busy::Measure) {
        stop();
        return Outcome::Kind::Stopped;
    }
    if (m_busy != Busy::None) return Outcome::Kind::Stopped;
    m_name = m_listText;
    if (m_name == "Import") return importFile();
    if (!protocolFor(m_name)) {
        m_last = {Outcome::Kind::Refused,
                  QStringLiteral("\"%1\" is not an instrument of the list").arg(m_name),
                  {}};
        Ui(*this).message(m_last.message);
        return m_last.kind;
    }
    return run(false);
}

Protocol* InstrumentPanel::protocolFor(const QString& name) {
    if (!isListEntry(name) || name == "Import") return nullptr;
    auto& slot = m_protocols[name];
    if (!slot) slot = makeProtocol(name);
    return slot.get();
}

Outcome::Kind InstrumentPanel::run(bool calibrate) {
    Protocol* protocol = protocolFor(calibrate ? m_listText : m_name);
    if (!protocol) return Outcome::Kind::Refused;
    if (!m_clock) {
        m_ownClock = std::make_unique<SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_busy = calibrate ? Busy::Calibrate : Busy::Measure;
    m_stop = false;
    m_log.clear();
    setMessage(calibrate ? QStringLiteral("Calibrating...") : QStringLiteral("Measuring..."));
    const auto idle = qScopeGuard([this] {
        m_busy = Busy::None;
        m_stop = false;
        emit changed();
    });
    std::unique_ptr<SerialLink> link = m_linkFactory(m_port, *m_clock);
    Ui ui(*this);
    m_last = runExchange(*protocol, calibrate, *link, *m_clock, ui, m_log, m_pump, &m_stop);
    if (m_last.kind == Outcome::Kind::Done) {
        if (calibrate) {
            setMessage(QStringLiteral("Calibration finished"));
        } else if (closingSteps(m_last.values)) {
            setMessage(QStringLiteral("Measured"));
        }
    } else if (m_last.kind == Outcome::Kind::Cancelled) {
        setMessage(m_last.message); // "Calibration cancelled"; the instrument's state stays
    }
    return m_last.kind;
}

Outcome::Kind InstrumentPanel::importDropped(const QString& file) {
    if (m_busy != Busy::None || file.isEmpty()) return Outcome::Kind::Stopped;
    const Outcome::Kind kind = importFile(file);
    emit changed();
    return kind;
}

Outcome::Kind InstrumentPanel::importFile(QString file) {
    if (file.isEmpty()) file = m_wb.dialogs().openFile(QStringLiteral("Import %R"), "*.txt|*.txt");
    if (file.isEmpty()) return Outcome::Kind::Stopped; // cancelled: nothing happens
    if (!QFile::exists(file)) {
        m_last = {Outcome::Kind::Refused, QStringLiteral("File not found"), {}};
        m_wb.dialogs().message(m_last.message);
        return m_last.kind;
    }
    // A regular file only, and bounded by the bytes read: a device reports a size of 0.
    const FileBytes read = readRegularFile(file, kMaxImportBytes);
    const ImportResult r =
        read.ok() ? importSpectrum(read.bytes) : ImportResult{false, {}, {}, {}, read.error};
    if (!r.ok) {
        m_last = {Outcome::Kind::Refused, r.error, {}};
        setMessage(QStringLiteral("%1: %2").arg(file, r.error));
        m_wb.dialogs().message(importFormatMessage());
        return m_last.kind;
    }
    if (!closingSteps(r.values)) return m_last.kind;
    m_imported = file + ' ' + r.header;
    m_last = {Outcome::Kind::Done, {}, r.values};
    setMessage(r.note);
    return m_last.kind;
}

bool InstrumentPanel::closingSteps(const Reflectance& values) {
    Xyz xyz{};
    try {
        xyz = tris(values, m_wb.weights());
    } catch (const Error& e) {
        m_last = {Outcome::Kind::Refused, QString::fromUtf8(e.what()), {}};
        Ui(*this).message(m_last.message);
        return false;
    }
    m_wb.reflectance() = values;
    m_previous = m_curve;
    m_curve = values;
    ++m_readings;
    m_wb.setText(Field::X, QString::fromStdString(formatPicture(xyz.x, "###.00")));
    m_wb.setText(Field::Y, QString::fromStdString(formatPicture(xyz.y, "###.00")));
    m_wb.setText(Field::Z, QString::fromStdString(formatPicture(xyz.z, "###.00")));
    m_wb.xyzChain();
    emit changed();
    return true;
}

} // namespace zul::instruments
