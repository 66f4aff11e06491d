#pragma once
// The CE7000 / CE7000A and CE2180 exchanges, 9600,N,8,1 without handshake.
#include "instruments/protocol.h"

namespace zul::instruments {

inline constexpr int kWakeLimitMs = 5000;

class Ce7000Protocol : public Protocol {
public:
    PortSetup setup() const override { return {"9600,N,8,1", Handshaking::None, false}; }
    Outcome calibrate(Session& s, InstrumentUi& ui) override;
    Outcome measure(Session& s, InstrumentUi& ui) override;
};

class Ce2180Protocol : public Protocol {
public:
    PortSetup setup() const override { return {"9600,N,8,1", Handshaking::None, false}; }
    Outcome calibrate(Session& s, InstrumentUi& ui) override;
    Outcome measure(Session& s, InstrumentUi& ui) override;
};

} // namespace zul::instruments
