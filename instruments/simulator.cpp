#include "instruments/simulator.h"

#include <cmath>

namespace zul::instruments {

std::optional<SimFaults> parseFaults(const QStringList& names, QString& error) {
    SimFaults f;
    for (const QString& raw : names) {
        const QString name = raw.trimmed().toLower();
        if (name.isEmpty()) continue;
        const QString key = name.section('=', 0, 0);
        const QString value = name.section('=', 1);
        bool ok = true;
        if (key == "silence")
            f.silence = true;
        else if (key == "silence-after")
            f.silenceAfter = value.toInt(&ok);
        else if (key == "garbage")
            f.garbage = true;
        else if (key == "short")
            f.shortReply = true;
        else if (key == "fewer")
            f.fewer = true;
        else if (key == "nan")
            f.nanSlot7 = true;
        else if (key == "disconnect")
            f.disconnect = true;
        else if (key == "byte-delay")
            f.byteDelayMs = value.toInt(&ok);
        else if (key == "uncalibrated")
            f.uncalibrated = true;
        else if (key == "wrong-wake")
            f.wrongWake = true;
        else
            ok = false;
        if (!ok || f.silenceAfter < -1 || f.byteDelayMs < 0) {
            error = QStringLiteral("unknown fault \"%1\" (known: %2)").arg(raw, faultNames());
            return std::nullopt;
        }
    }
    return f;
}

QString faultNames() {
    return QStringLiteral("silence, silence-after=N, garbage, short, fewer, nan, disconnect, "
                          "byte-delay=MS, uncalibrated, wrong-wake");
}

Reflectance simulatorSample() {
    Reflectance r{};
    for (int i = 0; i < kSpectralPoints; ++i) {
        const double nm = kFirstWavelengthNm + kWavelengthStepNm * i;
        r[static_cast<std::size_t>(i)] = static_cast<float>(
            std::round((6.0 + 72.0 / (1.0 + std::exp(-(nm - 590.0) / 18.0))) * 100.0) / 100.0);
    }
    return r;
}

SimulatorCore::SimulatorCore(const SimFaults& faults)
    : calibrated(!faults.uncalibrated), sample(simulatorSample()), m_faults(faults) {}

std::vector<SimOutput> SimulatorCore::receive(const QByteArray& bytes, std::int64_t nowMs) {
    m_now = nowMs;
    m_received += bytes;
    m_input += bytes;
    handle(m_input);
    std::vector<SimOutput> out;
    out.swap(m_out);
    return out;
}

QByteArray SimulatorCore::field(int slot, int width, int decimals, double scale) const {
    if (m_faults.nanSlot7 && slot == 7) return QByteArray("nan").rightJustified(width, ' ');
    const double v = sample[static_cast<std::size_t>(slot - 1)] * scale;
    return QByteArray::number(v, 'f', decimals).rightJustified(width, ' ', true);
}

void SimulatorCore::reply(const QByteArray& bytesIn, Kind kind, int latencyMs) {
    if (m_faults.silence) return;
    if (m_faults.silenceAfter >= 0 && m_commands > m_faults.silenceAfter) return;
    QByteArray bytes = bytesIn;
    bool hangUp = false;
    if (m_faults.garbage) bytes = QByteArray("\xf3\x9c?\x07\xe1~\x00\x80", 8);
    if (kind == Kind::Data && m_faults.shortReply) bytes.truncate(bytes.size() / 2);
    if (kind == Kind::Data && m_faults.disconnect) {
        bytes.truncate(bytes.size() / 2);
        hangUp = true;
    }
    std::int64_t at = std::max(m_now, m_busyUntil) + latencyMs;
    if (m_faults.byteDelayMs > 0) {
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            m_out.push_back({at, bytes.mid(i, 1), false});
            at += m_faults.byteDelayMs;
        }
        if (hangUp) m_out.push_back({at, {}, true});
    } else {
        m_out.push_back({at, bytes, hangUp});
    }
    m_busyUntil = at;
}

namespace {

// CE7000 / CE7000A: "R" alone wakes it (answer ends with ">"); "I", "C", "M" end with CR.
class Ce7000Sim : public SimulatorCore {
public:
    using SimulatorCore::SimulatorCore;

protected:
    void handle(QByteArray& input) override {
        for (;;) {
            if (input.startsWith('R')) {
                input.remove(0, 1);
                command();
                awake = true;
                reply(faults().wrongWake ? QByteArray("CE7000 V3.1\r\n") : "CE7000 V3.1\r\n>",
                      Kind::Wake);
                continue;
            }
            const qsizetype cr = input.indexOf('\r');
            if (cr < 0) return;
            const QByteArray cmd = input.left(cr).trimmed();
            input.remove(0, cr + 1);
            command();
            if (cmd == "I")
                reply(status("11 INIT"), Kind::Status);
            else if (cmd == "C") {
                calibrated = true;
                reply(status("11 WHITE OK"), Kind::Status);
            } else if (cmd == "M") {
                if (!calibrated) {
                    reply(status("00 CALIBRATE"), Kind::Status);
                    continue;
                }
                // 20 characters of status, then a 10-character record per slot (7-character
                // value and 3 blanks), then CR LF: 422 characters.
                QByteArray out = status("11 MEASURE") + ' ';
                const int points = faults().fewer ? kSpectralPoints - 1 : kSpectralPoints;
                for (int i = 1; i <= points; ++i)
                    out += field(i, 7, 2) + "   ";
                out += "\r\n";
                reply(out, Kind::Data, 40);
            } else {
                reply(status("99 UNKNOWN"), Kind::Other);
            }
        }
    }

private:
    static QByteArray status(const char* text) {
        return QByteArray(text).leftJustified(17, ' ', true) + "\r\n"; // 19 bytes
    }
};

// CE2180: single-character commands without CR; "v" answers a line ended by LF.
class Ce2180Sim : public SimulatorCore {
public:
    using SimulatorCore::SimulatorCore;

protected:
    void handle(QByteArray& input) override {
        while (!input.isEmpty()) {
            const char c = input[0];
            input.remove(0, 1);
            if (c == '\r' || c == '\n') continue;
            command();
            switch (c) {
            case 'v':
                awake = true;
                reply(faults().wrongWake ? QByteArray("CE2180 V2.0") : "CE2180 V2.0\r\n",
                      Kind::Wake);
                break;
            case 'K':
                reply(status("11 READY"), Kind::Status);
                break;
            case 'C':
                calibrated = true;
                reply(status("11 WHITE"), Kind::Status);
                break;
            case 'B':
                reply(status("11 BLACK"), Kind::Status);
                break;
            case 'M': {
                if (!calibrated) {
                    reply(status("00 CALIBRATE"), Kind::Status);
                    break;
                }
                // Status and data in one burst: rows of six "%6.2f," fields and a LF.
                QByteArray data;
                const int points = faults().fewer ? kSpectralPoints - 1 : kSpectralPoints;
                for (int i = 1; i <= points; ++i) {
                    data += field(i, 6, 2) + ',';
                    if (i % 6 == 0) data += '\n';
                }
                data = data.leftJustified(points == kSpectralPoints ? 290 : 283, ' ');
                data[data.size() - 1] = '\n';
                reply(status("11 MEASURE") + data, Kind::Data, 40);
                break;
            }
            default:
                reply(status("99 UNKNOWN"), Kind::Other);
            }
        }
    }

private:
    static QByteArray status(const char* text) {
        return QByteArray(text).leftJustified(16, ' ', true) + "\r\n"; // 18 bytes
    }
};

// Ci5 / Ci7: words ended by CR, replies ended by ">"; awake replies begin with "i".
class CiSim : public SimulatorCore {
public:
    using SimulatorCore::SimulatorCore;

protected:
    void handle(QByteArray& input) override {
        for (qsizetype cr; (cr = input.indexOf('\r')) >= 0;) {
            const QByteArray cmd = input.left(cr).trimmed();
            input.remove(0, cr + 1);
            command();
            if (cmd == "R") {
                awake = true;
                reply(faults().wrongWake ? QByteArray("READY\r\n>") : "i7 READY\r\n>", Kind::Wake);
            } else if (cmd == "config -mode=sce") {
                configured = true;
                reply("OK SCE\r\n>", Kind::Status);
            } else if (cmd == "whitecal" || cmd == "blackcal") {
                calibrated = true;
                reply(cmd + " OK\r\n>", Kind::Status, 50);
            } else if (cmd == "measure") {
                // Values written as " 45.123", comma-separated, after a line without points.
                QByteArray out = "MEASURE SCE\r\n";
                const int points = faults().fewer ? kSpectralPoints - 1 : kSpectralPoints;
                for (int i = 1; i <= points; ++i)
                    out += field(i, 7, 3) + (i < points ? "," : "\r\n");
                reply(out + ">", Kind::Data, 40);
            } else {
                reply("ERROR\r\n>", Kind::Other);
            }
        }
    }
};

// Spectrolino / SpectroEye: 0xFF filler ignored, commands ended by CR LF, replies by CR LF.
class SpectrolinoSim : public SimulatorCore {
public:
    using SimulatorCore::SimulatorCore;

protected:
    void handle(QByteArray& input) override {
        for (qsizetype lf; (lf = input.indexOf('\n')) >= 0;) {
            QByteArray cmd = input.left(lf);
            input.remove(0, lf + 1);
            while (cmd.startsWith('\xFF'))
                cmd.remove(0, 1);
            cmd = cmd.trimmed();
            command();
            if (cmd == "; 32") {
                awake = true;
                reply(faults().wrongWake ? QByteArray(": 99 unknown\r\n") : ": 26 0 00\r\n",
                      Kind::Wake);
            } else if (cmd == "; 184 9 0") {
                // Ten characters of header, then 36 fields of 6 characters (factors 0..1), each
                // followed by one blank, then CR LF.
                QByteArray out = ": 187 9 0 ";
                const int fields = faults().fewer ? 35 : 36;
                for (int i = 1; i <= fields; ++i)
                    out += field(i + 2, 6, 4, 0.01) + ' ';
                reply(out + "\r\n", Kind::Data, 40);
            } else {
                reply(": 26 12\r\n", Kind::Other);
            }
        }
    }
};

// XTH: commands ended by CR, replies ended by ">"; awake replies begin with "X".
class XthSim : public SimulatorCore {
public:
    using SimulatorCore::SimulatorCore;

protected:
    void handle(QByteArray& input) override {
        for (qsizetype cr; (cr = input.indexOf('\r')) >= 0;) {
            const QByteArray cmd = input.left(cr).trimmed();
            input.remove(0, cr + 1);
            command();
            if (cmd == "R") {
                awake = true;
                reply(faults().wrongWake ? QByteArray("xth 2.0\r\n>") : "XTH 2.0\r\n>", Kind::Wake);
            } else if (cmd == "C" || cmd == "B") {
                if (cmd == "C") calibrated = true;
                reply(cmd + " done\r\n>", Kind::Status, 50);
            } else if (cmd == "M 8") {
                if (!calibrated) {
                    reply("00 uncalibrated\r\n>", Kind::Status);
                    continue;
                }
                // 18 characters of status, then 8 per slot (a 6-character value and 2 blanks).
                QByteArray out = QByteArray("11 M8 SPECTRAL").leftJustified(18, ' ');
                const int points = faults().fewer ? kSpectralPoints - 1 : kSpectralPoints;
                for (int i = 1; i <= points; ++i)
                    out += field(i, 6, 2) + "  ";
                reply(out + "\r\n>", Kind::Data, 40);
            } else {
                reply("?\r\n>", Kind::Other);
            }
        }
    }
};

} // namespace

QStringList simulatorProtocols() {
    return {"ce7000", "ce7000a", "ce2180", "ci", "spectrolino", "spectroeye", "xth"};
}

std::unique_ptr<SimulatorCore> makeSimulator(const QString& protocol, const SimFaults& faults) {
    const QString p = protocol.trimmed().toLower();
    if (p == "ce7000" || p == "ce7000a") return std::make_unique<Ce7000Sim>(faults);
    if (p == "ce2180") return std::make_unique<Ce2180Sim>(faults);
    if (p == "ci" || p == "ci5/ci7" || p == "ci7" || p == "ci5")
        return std::make_unique<CiSim>(faults);
    if (p == "spectrolino" || p == "spectroeye") return std::make_unique<SpectrolinoSim>(faults);
    if (p == "xth") return std::make_unique<XthSim>(faults);
    return nullptr;
}

std::unique_ptr<SimulatorCore> makeSimulator(const QString& setting, QString& error) {
    QStringList parts = setting.split(',');
    const QString protocol = parts.takeFirst();
    const auto faults = parseFaults(parts, error);
    if (!faults) return nullptr;
    auto core = makeSimulator(protocol, *faults);
    if (!core)
        error = QStringLiteral("unknown simulated instrument \"%1\" (known: %2)")
                    .arg(protocol, simulatorProtocols().join(", "));
    return core;
}

} // namespace zul::instruments
