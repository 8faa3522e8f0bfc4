// Device pixel ratios: how many device pixels a 96-dpi logical pixel covers on
// a painting surface. The engine never sees them; the window and the headless
// renderer paint at ratios from 1 to 4, and the toolkit's scale-factor
// variables are checked or held within that range before it reads them.
#pragma once

#include <string>

namespace kiv {

constexpr double MinDeviceRatio = 1.0;
constexpr double MaxDeviceRatio = 4.0;

// ratio held within MinDeviceRatio..MaxDeviceRatio; 1 when it is not a
// positive finite number.
double ClampDeviceRatio(double ratio);

// Reads text that is a decimal number and nothing else (spaces around it
// allowed). False when it is not one, or not finite.
bool ParseRatioText(const std::string& text, double& ratio);

// Reads a ratio a user gave: a number from MinDeviceRatio to MaxDeviceRatio.
// False, with a message naming what was wrong, otherwise.
bool ParseDeviceRatio(const std::string& text, double& ratio, std::string& error);

// QT_SCALE_FACTOR and the factors of QT_SCREEN_SCALE_FACTORS ("name=f;f;…")
// held within the ratios the window paints at, rewritten in place; a factor
// that is not a positive number becomes 1. Call before the toolkit starts.
void ClampScaleFactorEnvironment();

// The same variables checked instead: false, with a message, when one holds
// a factor that is not a ratio from MinDeviceRatio to MaxDeviceRatio.
bool CheckScaleFactorEnvironment(std::string& error);

}  // namespace kiv
