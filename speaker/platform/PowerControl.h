// The computer's power: asking the system to power off, the way the
// operator's own shutdown would (not forced: programs that hold off a
// shutdown are respected).
#pragma once

#include <memory>

namespace sonvela {

class PowerControl {
public:
    virtual ~PowerControl() = default;
    // Asks for the power-off and returns at once; a refusal is the
    // system's to report.
    virtual void PowerOff() = 0;
};

// logind's PowerOff over the system bus.
std::unique_ptr<PowerControl> MakeSystemPowerControl();

} // namespace sonvela
