#pragma once
// The Ci5 / Ci7 exchanges: word commands ended by CR, replies ended by ">", 38400,N,8,1 with RTS
// handshake. Failures go to the message field rather than boxes.
#include "instruments/protocol.h"

namespace zul::instruments {

inline constexpr int kCiWakeAttempts = 3;
inline constexpr int kCiShortLimitMs = 2000;
inline constexpr int kCiLongLimitMs = 10000;

class CiProtocol : public Protocol {
public:
    PortSetup setup() const override { return {"38400,N,8,1", Handshaking::Rts, false}; }
    Outcome calibrate(Session& s, InstrumentUi& ui) override;
    Outcome measure(Session& s, InstrumentUi& ui) override;
    // A power-cycled instrument has forgotten the SCE mode: configure again.
    void exchangeFailed() override { m_configured = false; }
    bool configured() const { return m_configured; }

private:
    bool m_configured = false;
};

} // namespace zul::instruments
