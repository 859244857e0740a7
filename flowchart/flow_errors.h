// The error codes of flowchart elements and their texts.  A checker that
// traces a flowchart and the elements themselves at activation store these
// codes in the element; -1 is no error.
#pragma once

#include "platform/cstring.h"

enum : int {
    FLOW_ERR_NAME_EXISTS = 0,
    FLOW_ERR_SUB_EXISTS = 1,
    FLOW_ERR_NOT_CONNECTED = 2, // + the index of the terminal (2, 3, 4)
    FLOW_ERR_CONNECTED_WRONG = 7,
    FLOW_ERR_TO_START = 8,
    FLOW_ERR_TO_SUB = 10,
    FLOW_ERR_SUB_WRONG = 16,
    FLOW_ERR_NO_SUB = 32,
    FLOW_ERR_NO_VALUE = 64,
    FLOW_ERR_RANGE = 128,
    FLOW_ERR_NO_OUTPUT = 256,
    FLOW_ERR_NO_INPUT_BOX = 258,
    FLOW_ERR_NO_INPUT = 512,
    FLOW_ERR_NO_CHIP = 1024,
    FLOW_ERR_TOO_MANY_VARIABLES = 2048,
    FLOW_ERR_PORT_ANALOG = 3000,
    FLOW_ERR_PORT_DIGITAL = 3001,
    FLOW_ERR_TOO_MANY_SUBS = 5096,
    FLOW_ERR_OWN_SUB = 6000,
};

// The string-table text of an error code; empty for -1 and for codes
// without a text.
CString FlowErrorText(int code);

// String-table ids of the flowchart elements' fixed texts.
enum : unsigned {
    IDS_FLOW_START = 24300,
    IDS_FLOW_NAME_PREFIX = 24301,
    IDS_FLOW_PROGRAM_BUTTON = 24302,
    IDS_FLOW_YES_NO = 24303,
    IDS_FLOW_YES = 24304,
    IDS_FLOW_STOP = 24305,
    IDS_FLOW_WAIT = 24306,
    IDS_FLOW_SECONDS = 24307,
    IDS_FLOW_BEEP = 24308,
    IDS_FLOW_ON_OFF = 24309,
    IDS_FLOW_ON = 24310,
    IDS_FLOW_OFF = 24311,
    IDS_FLOW_TESTS = 24312,
    IDS_FLOW_QUESTION = 24313,
    IDS_FLOW_INPUT = 24314,
    IDS_FLOW_OUTPUT = 24315,
    IDS_FLOW_ANALOG_INPUT = 24316,
    IDS_FLOW_NO_SUCH_OUTPUT = 24317,
    IDS_FLOW_MAIN = 24318,
    IDS_FLOW_WAIT_TOO_LONG = 2003,
    IDS_FLOW_BEEP_NO_BASIC = 2004,
};

class CCircuit;

// The BASIC dialect a design exports in, from its program-language word
// (CCircuit::SetProgramLanguage: "BASIC C2" 0, "Assembly" 2, else 1).
enum class FlowDialect { BasicC1, BasicC2, Assembly };
FlowDialect GetFlowDialect(const CCircuit* design);
