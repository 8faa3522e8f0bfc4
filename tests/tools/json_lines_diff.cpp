#include "json_lines_diff.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace kiv::testing {

namespace {

constexpr qsizetype kShownLength = 100;

std::vector<QByteArray> Lines(const std::string& text) {
  std::vector<QByteArray> lines;
  for (const QByteArray& line : QByteArray::fromStdString(text).split('\n')) lines.push_back(line);
  // The dump ends with a line end, which leaves one empty piece.
  if (!lines.empty() && lines.back().isEmpty()) lines.pop_back();
  return lines;
}

std::optional<QJsonValue> Parse(const QByteArray& line) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson("[" + line + "]", &error);
  if (error.error != QJsonParseError::NoError || !doc.isArray() || doc.array().size() != 1)
    return std::nullopt;
  return doc.array().at(0);
}

bool IsColorKey(const QString& key) {
  return key.endsWith("color", Qt::CaseInsensitive);
}

std::string Shown(const QJsonValue& value, const QString& key) {
  if (value.isDouble()) {
    const double d = value.toDouble();
    if (d == std::floor(d) && std::fabs(d) < 9.0e15) {
      const auto n = static_cast<long long>(d);
      if (IsColorKey(key) && n >= 0) {
        char hex[24];
        std::snprintf(hex, sizeof hex, "0x%08llX", n);
        return hex;
      }
      return std::to_string(n);
    }
  }
  QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  text = text.mid(1, text.size() - 2);  // without the array's brackets
  if (text.size() > kShownLength) text = text.left(kShownLength) + "…";
  return text.toStdString();
}

struct Difference {
  std::string path;
  std::string expected;
  std::string actual;
};

std::string Join(const std::string& path, const QString& key) {
  return path.empty() ? key.toStdString() : path + "." + key.toStdString();
}

// The first difference inside two values, depth first in key order.
std::optional<Difference> FirstDifference(const QJsonValue& expected, const QJsonValue& actual,
                                          const std::string& path, const QString& key) {
  if (expected.isObject() && actual.isObject()) {
    const QJsonObject e = expected.toObject(), a = actual.toObject();
    QStringList keys = e.keys() + a.keys();
    keys.sort();
    keys.removeDuplicates();
    for (const QString& k : keys) {
      const std::string at = Join(path, k);
      if (!e.contains(k)) return Difference{at, "(absent)", Shown(a.value(k), k)};
      if (!a.contains(k)) return Difference{at, Shown(e.value(k), k), "(absent)"};
      if (auto d = FirstDifference(e.value(k), a.value(k), at, k)) return d;
    }
    return std::nullopt;
  }
  if (expected.isArray() && actual.isArray()) {
    const QJsonArray e = expected.toArray(), a = actual.toArray();
    const qsizetype n = std::max(e.size(), a.size());
    for (qsizetype i = 0; i < n; ++i) {
      const std::string at = path + "[" + std::to_string(i) + "]";
      if (i >= e.size()) return Difference{at, "(absent)", Shown(a.at(i), key)};
      if (i >= a.size()) return Difference{at, Shown(e.at(i), key), "(absent)"};
      if (auto d = FirstDifference(e.at(i), a.at(i), at, key)) return d;
    }
    return std::nullopt;
  }
  if (expected == actual) return std::nullopt;
  return Difference{path.empty() ? "(the whole line)" : path, Shown(expected, key),
                    Shown(actual, key)};
}

// "header" for the first line, else the section with its class and text.
std::string LineName(std::size_t index, const std::optional<QJsonValue>& line) {
  if (index == 0) return "header";
  std::string name = "section " + std::to_string(index);
  if (line && line->isObject()) {
    const QJsonObject o = line->toObject();
    name += " (" + o.value("class").toString().toStdString();
    if (o.contains("text")) {
      QString text = o.value("text").toString();
      if (text.size() > 30) text = text.left(30) + "…";
      name.append(" ").append(Shown(QJsonValue(text), {}));
    }
    name += ")";
  }
  return name;
}

}  // namespace

std::string FirstJsonLinesDifference(const std::string& expected, const std::string& actual) {
  const std::vector<QByteArray> e = Lines(expected), a = Lines(actual);
  const std::size_t n = std::max(e.size(), a.size());
  std::string first;
  int differing = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::optional<QByteArray> el = i < e.size() ? std::optional(e[i]) : std::nullopt;
    const std::optional<QByteArray> al = i < a.size() ? std::optional(a[i]) : std::nullopt;
    if (el && al && *el == *al) continue;
    const std::optional<QJsonValue> ev = el ? Parse(*el) : std::nullopt;
    const std::optional<QJsonValue> av = al ? Parse(*al) : std::nullopt;
    std::optional<Difference> d;
    if (!el || !al) {
      d = Difference{"(the whole line)",
                     el ? Shown(ev ? *ev : QJsonValue(QString::fromUtf8(*el)), {}) : "(absent)",
                     al ? Shown(av ? *av : QJsonValue(QString::fromUtf8(*al)), {}) : "(absent)"};
    } else if (ev && av) {
      d = FirstDifference(*ev, *av, {}, {});
      if (!d) continue;  // the same values written another way
    } else {
      d = Difference{"(the whole line, not JSON)", Shown(QJsonValue(QString::fromUtf8(*el)), {}),
                     Shown(QJsonValue(QString::fromUtf8(*al)), {})};
    }
    ++differing;
    if (first.empty()) {
      first = "line " + std::to_string(i + 1) + ", " + LineName(i, ev ? ev : av) + ": " + d->path +
              ": " + d->expected + " → " + d->actual;
    }
  }
  if (differing == 0) return {};
  return first + "\n(" + std::to_string(differing) + " of " + std::to_string(n) +
         " lines differ; expected → actual)";
}

}  // namespace kiv::testing
