#include "wmistandin/standin_environment.h"

#include <wbemidl.h>

#include <string>

#include "wmistandin/standin_host.h"

namespace {

// False when the variable is unset; the Win32 call rather than getenv, whose
// copy in this module's static CRT would miss later SetEnvironmentVariable calls.
bool ReadEnvironment(const char* name, std::string* value) {
  std::string buffer(64, '\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableA(name, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    if (length < buffer.size()) {
      buffer.resize(length);
      *value = buffer;
      return true;
    }
    buffer.resize(length);
  }
}

}  // namespace

HRESULT InjectedFailure(FailingCall call) {
  std::string text;
  if (!ReadEnvironment("WMISTANDIN_FAIL", &text) || text.empty()) return S_OK;
  Failure failure{};
  if (!ParseFailure(text, &failure)) return WBEM_E_INVALID_PARAMETER;
  return failure.call == call ? failure.result : S_OK;
}

HRESULT LoadInstances(std::vector<Instance>* out) {
  std::string text;
  if (!ReadEnvironment("WMISTANDIN_INSTANCES", &text)) {
    *out = HostInstances();
    return S_OK;
  }
  if (!ParseInstances(text, out)) return WBEM_E_INVALID_PARAMETER;
  return S_OK;
}
