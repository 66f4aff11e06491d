#pragma once
// The serial port as the instrument exchanges use it: line settings, handshaking and RTS, open
// and close, bytes out, bytes in. One implementation wraps QSerialPort, another runs a simulated
// instrument in-process.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace zul::instruments {

class Clock;

enum class Handshaking { None = 0, Rts = 2 };

// What an exchange sets before opening: the settings text ("9600,N,8,1", parity letter in either
// case), handshaking, and whether the RTS line is held on.
struct PortSetup {
    QString settings;
    Handshaking handshaking = Handshaking::None;
    bool rts = false;
};

struct LineSettings {
    int baud = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;
    int stopBits = 1;
};
// "9600,N,8,1" and the like; nullopt for anything else.
std::optional<LineSettings> parseLineSettings(const QString& text);

class SerialLink {
public:
    virtual ~SerialLink() = default;
    // False with `error` saying which device and why.
    virtual bool open(const PortSetup& setup, QString& error) = 0;
    virtual void close() = 0; // closing a closed link does nothing
    virtual bool isOpen() const = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    // Everything received and not yet read; empties the receive buffer.
    virtual QByteArray readAll() = 0;
    // Blocks until something can be read, at most `ms` milliseconds of real time.
    virtual void waitForReadyRead(int ms) = 0;
    // The device went away (cable pulled, simulator ended) while open.
    virtual bool disconnected() const = 0;
    // What went wrong without failing the exchange (RTS on a pseudo-terminal); emptied on reading.
    virtual QStringList takeWarnings() { return {}; }
    virtual QString deviceName() const = 0;
};

// The device for port number `n`: $ZUL_COMM<n> when set, else /dev/ttyS<n-1>.
QString deviceForPort(int n);

// A link for port `n`: "sim:PROTOCOL[,FAULT...]" in $ZUL_COMM<n> runs a simulator in-process on
// `clock`, anything else is a real serial device.
std::unique_ptr<SerialLink> linkForPort(int n, Clock& clock);
// A link for a device path (or "sim:..." as above).
std::unique_ptr<SerialLink> linkForDevice(const QString& device, Clock& clock);

} // namespace zul::instruments
