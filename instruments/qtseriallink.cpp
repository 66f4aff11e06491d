#include "instruments/qtseriallink.h"

#include "instruments/session.h"
#include "instruments/simlink.h"

#include <QSerialPortInfo>

namespace zul::instruments {

std::optional<LineSettings> parseLineSettings(const QString& text) {
    const QStringList parts = text.split(',');
    if (parts.size() != 4) return std::nullopt;
    LineSettings s;
    bool ok[3] = {};
    s.baud = parts[0].trimmed().toInt(&ok[0]);
    const QString parity = parts[1].trimmed().toUpper();
    s.dataBits = parts[2].trimmed().toInt(&ok[1]);
    s.stopBits = parts[3].trimmed().toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || parity.size() != 1 || !QString("NEOMS").contains(parity[0]) ||
        s.baud <= 0 || s.dataBits < 5 || s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2))
        return std::nullopt;
    s.parity = parity[0].toLatin1();
    return s;
}

QString deviceForPort(int n) {
    const QByteArray name = "ZUL_COMM" + QByteArray::number(n);
    const QByteArray value = qgetenv(name.constData());
    if (!value.isEmpty()) return QString::fromLocal8Bit(value);
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

std::unique_ptr<SerialLink> linkForDevice(const QString& device, Clock& clock) {
    if (device.startsWith("sim:")) return makeSimLink(device.mid(4), clock);
    return std::make_unique<QtSerialLink>(device);
}

std::unique_ptr<SerialLink> linkForPort(int n, Clock& clock) {
    return linkForDevice(deviceForPort(n), clock);
}

QtSerialLink::QtSerialLink(QString device) : m_device(std::move(device)) {}

QString openFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& detail, const QStringList& present) {
    QString why;
    if (detail.contains("lock", Qt::CaseInsensitive) ||
        detail.contains("busy", Qt::CaseInsensitive))
        why = "in use by another program";
    else if (error == QSerialPort::PermissionError)
        why = "permission denied (is the user in group dialout?)";
    else if (error == QSerialPort::DeviceNotFoundError)
        why = "no such device";
    else
        why = detail;
    QString text = QStringLiteral("Cannot open %1: %2.").arg(device, why);
    text += present.isEmpty()
                ? QStringLiteral(" No serial devices found.")
                : QStringLiteral(" Serial devices present: %1.").arg(present.join(", "));
    return text;
}

bool QtSerialLink::open(const PortSetup& setup, QString& error) {
    close();
    m_disconnected = false;
    const auto line = parseLineSettings(setup.settings);
    if (!line) {
        error = QStringLiteral("Bad line settings \"%1\"").arg(setup.settings);
        return false;
    }
    m_port.setPortName(m_device);
    m_port.setBaudRate(line->baud);
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(line->dataBits));
    m_port.setStopBits(line->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    switch (line->parity) {
    case 'E':
        m_port.setParity(QSerialPort::EvenParity);
        break;
    case 'O':
        m_port.setParity(QSerialPort::OddParity);
        break;
    case 'M':
        m_port.setParity(QSerialPort::MarkParity);
        break;
    case 'S':
        m_port.setParity(QSerialPort::SpaceParity);
        break;
    default:
        m_port.setParity(QSerialPort::NoParity);
    }
    m_port.setFlowControl(setup.handshaking == Handshaking::Rts ? QSerialPort::HardwareControl
                                                                : QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        QStringList present;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            present << info.systemLocation();
        error = openFailureText(m_device, m_port.error(), m_port.errorString(), present);
        m_port.clearError();
        return false;
    }
    // Under hardware flow control the driver owns RTS; setting it by hand is an error.
    if (setup.rts && setup.handshaking != Handshaking::Rts && !m_port.setRequestToSend(true)) {
        m_warnings
            << QStringLiteral("warning: RTS not set on %1: %2").arg(m_device, m_port.errorString());
        m_port.clearError();
    }
    return true;
}

void QtSerialLink::close() {
    if (m_port.isOpen()) m_port.close();
    m_port.clearError();
}

namespace {

// The device went away: an I/O error or end of file on a read (a pty whose master closed).
bool lost(QSerialPort::SerialPortError e) {
    return e == QSerialPort::ResourceError || e == QSerialPort::ReadError;
}

} // namespace

bool QtSerialLink::write(const QByteArray& bytes) {
    if (!m_port.isOpen()) return false;
    if (m_port.write(bytes) != bytes.size()) return false;
    // Small commands: let them leave before the reply is awaited (one wait step at most).
    m_port.waitForBytesWritten(kBlockMs);
    if (lost(m_port.error())) m_disconnected = true;
    return !m_disconnected;
}

QByteArray QtSerialLink::readAll() {
    if (!m_port.isOpen()) return {};
    QByteArray got = m_port.readAll();
    if (lost(m_port.error())) m_disconnected = true;
    return got;
}

void QtSerialLink::waitForReadyRead(int ms) {
    if (!m_port.isOpen() || m_port.bytesAvailable() > 0) return;
    m_port.waitForReadyRead(ms);
    if (m_port.error() == QSerialPort::ResourceError)
        m_disconnected = true;
    else if (m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
}

QStringList QtSerialLink::takeWarnings() {
    QStringList w;
    w.swap(m_warnings);
    return w;
}

} // namespace zul::instruments
