#pragma once
// The XTH exchanges: short commands ended by CR, replies ended by ">", an awake instrument's
// prompt reply beginning with "X"; 38400,N,8,1 with RTS handshake.
#include "instruments/protocol.h"

namespace zul::instruments {

inline constexpr int kXthWakeAttempts = 5;
inline constexpr int kXthWakeLimitMs = 2000;
inline constexpr int kXthMeasureLimitMs = 5000;
inline constexpr int kXthCalibrationLimitMs = 10000;

class XthProtocol : public Protocol {
public:
    PortSetup setup() const override { return {"38400,N,8,1", Handshaking::Rts, false}; }
    Outcome calibrate(Session& s, InstrumentUi& ui) override;
    Outcome measure(Session& s, InstrumentUi& ui) override;
};

} // namespace zul::instruments
