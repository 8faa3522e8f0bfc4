// Where the help window stands: its size, position and maximised state are
// kept in the settings file when it closes and given back when it opens,
// moved onto a screen that exists. A saved place off every screen, a size
// larger than the screen it is on, or keys that are not numbers give the
// centred default instead.
#pragma once

#include <QRect>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kiv {

// The keys, in section "Help" of kivmap.ini.
inline constexpr const char* WindowLeftKey = "Window Left";
inline constexpr const char* WindowTopKey = "Window Top";
inline constexpr const char* WindowWidthKey = "Window Width";
inline constexpr const char* WindowHeightKey = "Window Height";
inline constexpr const char* WindowMaximizedKey = "Window Maximized";

struct TWindowPlacement {
  QRect Geometry;  // the client area, in screen coordinates
  bool Maximized = false;
};

// The saved placement, when all four numbers are there and are numbers.
std::optional<TWindowPlacement> ReadWindowPlacement(const std::string& settingsPath,
                                                    const std::string& section);
void WriteWindowPlacement(const std::string& settingsPath, const std::string& section,
                          const TWindowPlacement& placement);

// The saved geometry made to fit: at least minimum, moved within the
// available area of the screen it overlaps most. None when it overlaps no
// screen or is larger than that screen.
std::optional<QRect> FitOnScreens(const QRect& saved, const QSize& minimum,
                                  const std::vector<QRect>& screens);

// The window's placement now (its normal geometry while maximised).
TWindowPlacement PlacementOf(const QWidget& window);
// Restores a saved placement on the screens there are; false (and the
// window untouched) when it does not fit.
bool RestorePlacement(QWidget& window, const TWindowPlacement& placement);

}  // namespace kiv
