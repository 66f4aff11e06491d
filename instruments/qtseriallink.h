#pragma once
// The real serial port.
#include "instruments/seriallink.h"

#include <QSerialPort>

namespace zul::instruments {

class QtSerialLink : public SerialLink {
public:
    explicit QtSerialLink(QString device);
    bool open(const PortSetup& setup, QString& error) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void waitForReadyRead(int ms) override;
    bool disconnected() const override { return m_disconnected; }
    QStringList takeWarnings() override;
    QString deviceName() const override { return m_device; }

private:
    QString m_device;
    QSerialPort m_port;
    bool m_disconnected = false;
    QStringList m_warnings;
};

// "Cannot open /dev/ttyS0: ..." with the likely cause and the serial devices present.
QString openFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& detail, const QStringList& present);

} // namespace zul::instruments
