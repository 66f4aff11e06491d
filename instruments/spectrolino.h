#pragma once
// The Spectrolino / SpectroEye exchange: each command preceded by 250 bytes 0xFF and ended by
// CR LF, replies ended by CR LF; 9600,n,8,1 without handshake, RTS held on. Calibration is the
// user's business (the manual's procedure).
#include "instruments/protocol.h"

namespace zul::instruments {

inline constexpr int kSpectrolinoFiller = 250;
inline constexpr int kSpectrolinoLimitMs = 5000;

// Filler, `command`, CR LF: exactly the bytes on the wire.
QByteArray spectrolinoCommand(const QByteArray& command);

class SpectrolinoProtocol : public Protocol {
public:
    PortSetup setup() const override { return {"9600,n,8,1", Handshaking::None, true}; }
    bool calibrationUsesPort() const override { return false; }
    Outcome calibrateWithoutPort(InstrumentUi& ui) override;
    Outcome calibrate(Session&, InstrumentUi& ui) override { return calibrateWithoutPort(ui); }
    Outcome measure(Session& s, InstrumentUi& ui) override;
};

} // namespace zul::instruments
