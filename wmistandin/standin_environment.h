#pragma once

#include <windows.h>

#include <vector>

#include "wmistandin/standin_config.h"

// The variables are read at every call, not once: a test may change them
// between calls in one process.

// The HRESULT that WMISTANDIN_FAIL asks of call, or S_OK. A value that does not
// parse fails every call with WBEM_E_INVALID_PARAMETER, so that the mistake
// shows at the first one instead of passing unnoticed. Empty is unset.
HRESULT InjectedFailure(FailingCall call);

// What one ExecQuery serves: WMISTANDIN_INSTANCES where set, else the host's
// processors. WBEM_E_INVALID_PARAMETER when the variable does not parse.
HRESULT LoadInstances(std::vector<Instance>* out);
