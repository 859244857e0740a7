#include "components/systems_pins.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

void StampSystemsPin(CMatrix* matrix, CTerminal* pin, double current, const CCircuit& design)
{
    matrix->StampTransfer(design.GetLogicConductance(), current, pin, SystemsGround(), pin, SystemsGround());
}
