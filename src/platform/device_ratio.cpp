#include "platform/device_ratio.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace kiv {

namespace {

constexpr const char* kScaleFactor = "QT_SCALE_FACTOR";
constexpr const char* kScreenScaleFactors = "QT_SCREEN_SCALE_FACTORS";

std::string FormatRatio(double ratio) {
  std::ostringstream out;
  out << ratio;
  return out.str();
}

// Calls visit(factor) on each factor of a QT_SCREEN_SCALE_FACTORS list and
// puts the list back together from what visit returns.
template <class Visit>
std::string EachScreenFactor(const std::string& list, Visit visit) {
  std::string out;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(start, end - start);
    const std::size_t eq = item.rfind('=');
    const std::string name = eq == std::string::npos ? "" : item.substr(0, eq + 1);
    const std::string factor = eq == std::string::npos ? item : item.substr(eq + 1);
    if (!out.empty() || start > 0) out += ';';
    out += item.empty() ? item : name + visit(factor);
    start = end + 1;
  }
  return out;
}

std::string Environment(const char* name) {
  return qEnvironmentVariable(name).toStdString();
}

}  // namespace

double ClampDeviceRatio(double ratio) {
  if (!std::isfinite(ratio) || ratio <= 0) return 1.0;
  return std::clamp(ratio, MinDeviceRatio, MaxDeviceRatio);
}

bool ParseRatioText(const std::string& text, double& ratio) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0' || !std::isfinite(value)) return false;
  ratio = value;
  return true;
}

bool ParseDeviceRatio(const std::string& text, double& ratio, std::string& error) {
  double value = 0;
  if (!ParseRatioText(text, value)) {
    error = "'" + text + "' is not a number; the scale must be from " +
            FormatRatio(MinDeviceRatio) + " to " + FormatRatio(MaxDeviceRatio);
    return false;
  }
  if (value < MinDeviceRatio || value > MaxDeviceRatio) {
    error = "the scale " + text + " is out of range; it must be from " +
            FormatRatio(MinDeviceRatio) + " to " + FormatRatio(MaxDeviceRatio);
    return false;
  }
  ratio = value;
  return true;
}

void ClampScaleFactorEnvironment() {
  const auto clamped = [](const std::string& factor) {
    double value = 0;
    return FormatRatio(ParseRatioText(factor, value) ? ClampDeviceRatio(value) : 1.0);
  };
  if (qEnvironmentVariableIsSet(kScaleFactor)) {
    qputenv(kScaleFactor, QByteArray::fromStdString(clamped(Environment(kScaleFactor))));
  }
  if (qEnvironmentVariableIsSet(kScreenScaleFactors)) {
    qputenv(kScreenScaleFactors,
            QByteArray::fromStdString(EachScreenFactor(Environment(kScreenScaleFactors), clamped)));
  }
}

bool CheckScaleFactorEnvironment(std::string& error) {
  double ratio = 0;
  if (qEnvironmentVariableIsSet(kScaleFactor) &&
      !ParseDeviceRatio(Environment(kScaleFactor), ratio, error)) {
    error = std::string(kScaleFactor) + ": " + error;
    return false;
  }
  if (qEnvironmentVariableIsSet(kScreenScaleFactors)) {
    std::string first;
    EachScreenFactor(Environment(kScreenScaleFactors), [&](const std::string& factor) {
      std::string message;
      if (first.empty() && !ParseDeviceRatio(factor, ratio, message)) first = message;
      return factor;
    });
    if (!first.empty()) {
      error = std::string(kScreenScaleFactors) + ": " + first;
      return false;
    }
  }
  return true;
}

}  // namespace kiv
