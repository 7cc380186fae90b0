#include "wmistandin/standin_config.h"

#include <utility>

namespace {

const std::uint64_t kMaxUint32 = 0xFFFFFFFFu;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t end = text.find(separator);
    parts.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return parts;
    text.remove_prefix(end + 1);
  }
}

int DigitValue(char c, unsigned base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits only, at least one, no sign or space: the environment's values are
// typed by hand, and a stray character must not turn into a different number.
bool ParseUnsigned(std::string_view digits, unsigned base, std::uint64_t limit,
                   std::uint64_t* value) {
  if (digits.empty()) return false;
  std::uint64_t result = 0;
  for (char c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0 || result > (limit - digit) / base) return false;
    result = result * base + digit;
  }
  *value = result;
  return true;
}

template <typename Value>
struct Named {
  const char* name;
  Value value;
};

template <typename Value, size_t Count>
bool LookUp(const Named<Value> (&table)[Count], std::string_view name, Value* value) {
  for (const Named<Value>& entry : table) {
    if (name != entry.name) continue;
    *value = entry.value;
    return true;
  }
  return false;
}

const Named<InstanceKind> kInstanceWords[] = {
    {"get-error", InstanceKind::kGetError},   {"null", InstanceKind::kNull},
    {"next-error", InstanceKind::kNextError}, {"null-object", InstanceKind::kNullObject},
    {"zero-count", InstanceKind::kZeroCount}, {"object-value", InstanceKind::kObjectValue}};

const Named<FailingCall> kCallNames[] = {{"CoCreateInstance", FailingCall::kCreateInstance},
                                         {"ConnectServer", FailingCall::kConnectServer},
                                         {"ExecQuery", FailingCall::kExecQuery}};

bool ParseInstance(std::string_view item, Instance* out) {
  std::uint64_t frequency = 0;
  if (LookUp(kInstanceWords, item, &out->kind)) {
    out->frequency = 0;
    return true;
  }
  if (!ParseUnsigned(item, 10, kMaxUint32, &frequency)) return false;
  *out = Instance{InstanceKind::kFrequency, static_cast<std::uint32_t>(frequency)};
  return true;
}

// The 32 bits of an HRESULT written as 0x hex, as unsigned decimal (the way
// hr=%u prints it) or as negative decimal (the way hr=%d prints it).
bool ParseHresultBits(std::string_view text, std::uint32_t* bits) {
  std::uint64_t value = 0;
  bool parsed = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    parsed = ParseUnsigned(text.substr(2), 16, kMaxUint32, &value);
  } else if (!text.empty() && text[0] == '-') {
    parsed = ParseUnsigned(text.substr(1), 10, 0x80000000u, &value);
    value = (0 - value) & kMaxUint32;
  } else {
    parsed = ParseUnsigned(text, 10, kMaxUint32, &value);
  }
  *bits = static_cast<std::uint32_t>(value);
  return parsed;
}

// "2596.150" as 2596, "2596.5" as 2597: only the first decimal decides.
bool ParseRoundedMhz(std::string_view text, std::uint32_t* mhz) {
  const size_t point = text.find('.');
  std::uint64_t whole = 0;
  if (!ParseUnsigned(text.substr(0, point), 10, kMaxUint32, &whole)) return false;
  if (point != std::string_view::npos) {
    const std::string_view fraction = text.substr(point + 1);
    std::uint64_t ignored = 0;
    if (!ParseUnsigned(fraction, 10, UINT64_MAX, &ignored)) return false;
    if (fraction[0] >= '5') ++whole;
  }
  if (whole > kMaxUint32) return false;
  *mhz = static_cast<std::uint32_t>(whole);
  return true;
}

// The value of a "cpu MHz<blanks>: value" line, or an empty view.
std::string_view CpuMhzValue(std::string_view line) {
  const std::string_view kKey = "cpu MHz";
  if (line.substr(0, kKey.size()) != kKey) return std::string_view();
  line = Trim(line.substr(kKey.size()));
  if (line.empty() || line.front() != ':') return std::string_view();
  return Trim(line.substr(1));
}

}  // namespace

bool ParseInstances(std::string_view text, std::vector<Instance>* out) {
  std::vector<Instance> instances;
  if (!text.empty()) {
    for (std::string_view item : Split(text, ',')) {
      Instance instance{};
      if (!ParseInstance(item, &instance)) return false;
      instances.push_back(instance);
    }
  }
  *out = std::move(instances);
  return true;
}

bool ParseFailure(std::string_view text, Failure* out) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  Failure failure{};
  std::uint32_t bits = 0;
  if (!LookUp(kCallNames, text.substr(0, colon), &failure.call)) return false;
  if (!ParseHresultBits(text.substr(colon + 1), &bits)) return false;
  failure.result = static_cast<HRESULT>(bits);
  if (!FAILED(failure.result)) return false;
  *out = failure;
  return true;
}

std::vector<std::uint32_t> ParseCpuInfoMhz(std::string_view text) {
  std::vector<std::uint32_t> values;
  for (std::string_view line : Split(text, '\n')) {
    std::uint32_t mhz = 0;
    if (ParseRoundedMhz(CpuMhzValue(line), &mhz)) values.push_back(mhz);
  }
  return values;
}

bool ParseScalingCurFreq(std::string_view text, std::uint32_t* mhz) {
  // The largest kHz value that still rounds to a 32-bit MHz value.
  const std::uint64_t kMaxKhz = kMaxUint32 * 1000 + 499;
  std::uint64_t khz = 0;
  if (!ParseUnsigned(Trim(text), 10, kMaxKhz, &khz)) return false;
  *mhz = static_cast<std::uint32_t>((khz + 500) / 1000);
  return true;
}
