#include "components/systems_pins.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

void StampSystemsPin(CMatrix* matrix, CTerminal* pin, double current, const CCircuit& design)
{
    matrix->StampTransfer(design.GetLogicConductance(), current, pin, SystemsGround(), pin, SystemsGround());
}

bool SystemsPinDrive(double current, const CCircuit& design, double* volts, double* conductance)
{
    const double g = design.GetLogicConductance();
    if (!(g > 0.0)) return false;
    *volts = -current / g;
    *conductance = g;
    return true;
}
