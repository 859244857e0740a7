// String-table ids of the subroutine elements' fixed texts
// (resources/strings/flowsub.txt).
#pragma once

enum : unsigned {
    IDS_FLOW_SUBROUTINE = 24500,
    IDS_FLOW_CALL_SUBROUTINE = 24501,
    IDS_FLOW_SUBROUTINE_NAME = 24502,
    IDS_FLOW_RETURN = 24503,
    IDS_FLOW_WAITING_FOR = 24504,
    IDS_FLOW_TO_BE_FREE = 24505,
    IDS_FLOW_CONTROL_IN = 24506,
};

// The states a caller hears from its start's call stack
// (CFlowObject::OnCallState).
enum : int {
    FLOW_CALL_WAITING = 0,  // the subroutine is busy: the caller waits in its queue
    FLOW_CALL_ENTERED = 1,  // control went into the subroutine
    FLOW_CALL_RETURNED = 2, // the subroutine returned: the caller goes on
};
