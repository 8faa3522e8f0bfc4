#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "platform/ini_file.h"

namespace kiv {

namespace {

// The largest side a saved window may claim; more is no screen's.
constexpr int kLargestSide = 1 << 20;

// A whole decimal number and nothing else (blanks around it aside).
std::optional<int> StrictNumber(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(" \t");
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  std::int64_t value = 0;
  const auto [ptr, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || ptr != end) return std::nullopt;
  if (value < -kLargestSide || value > kLargestSide) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

std::optional<TWindowPlacement> ReadWindowPlacement(const std::string& settingsPath,
                                                    const std::string& section) {
  const IniFile ini(settingsPath);
  const auto number = [&](const char* key) {
    return StrictNumber(ini.ReadString(section, key, ""));
  };
  const auto left = number(WindowLeftKey), top = number(WindowTopKey);
  const auto width = number(WindowWidthKey), height = number(WindowHeightKey);
  if (!left || !top || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  TWindowPlacement placement;
  placement.Geometry = QRect(*left, *top, *width, *height);
  placement.Maximized = number(WindowMaximizedKey).value_or(0) != 0;
  return placement;
}

void WriteWindowPlacement(const std::string& settingsPath, const std::string& section,
                          const TWindowPlacement& placement) {
  IniFile ini(settingsPath);
  ini.WriteInteger(section, WindowLeftKey, placement.Geometry.x());
  ini.WriteInteger(section, WindowTopKey, placement.Geometry.y());
  ini.WriteInteger(section, WindowWidthKey, placement.Geometry.width());
  ini.WriteInteger(section, WindowHeightKey, placement.Geometry.height());
  ini.WriteBool(section, WindowMaximizedKey, placement.Maximized);
}

std::optional<QRect> FitOnScreens(const QRect& saved, const QSize& minimum,
                                  const std::vector<QRect>& screens) {
  QRect wanted = saved;
  wanted.setSize(saved.size().expandedTo(minimum));
  const QRect* best = nullptr;
  std::int64_t bestArea = 0;
  for (const QRect& screen : screens) {
    const QRect common = screen.intersected(wanted);
    const std::int64_t area = std::int64_t{common.width()} * common.height();
    if (!common.isEmpty() && area > bestArea) {
      best = &screen;
      bestArea = area;
    }
  }
  if (!best || wanted.width() > best->width() || wanted.height() > best->height())
    return std::nullopt;
  wanted.moveLeft(std::clamp(wanted.left(), best->left(), best->right() - wanted.width() + 1));
  wanted.moveTop(std::clamp(wanted.top(), best->top(), best->bottom() - wanted.height() + 1));
  return wanted;
}

TWindowPlacement PlacementOf(const QWidget& window) {
  TWindowPlacement placement;
  placement.Maximized = window.isMaximized();
  placement.Geometry = placement.Maximized ? window.normalGeometry() : window.geometry();
  if (placement.Geometry.isEmpty()) placement.Geometry = window.geometry();
  return placement;
}

bool RestorePlacement(QWidget& window, const TWindowPlacement& placement) {
  std::vector<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens())
    screens.push_back(screen->availableGeometry());
  const std::optional<QRect> fitted = FitOnScreens(
      placement.Geometry, window.minimumSizeHint().expandedTo(window.minimumSize()), screens);
  if (!fitted) return false;
  window.setGeometry(*fitted);
  if (placement.Maximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
  return true;
}

}  // namespace kiv
