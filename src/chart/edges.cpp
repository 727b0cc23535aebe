#include "chart/edges.h"

#include <cmath>

#include "common/text.h"
#include "common/tr.h"

namespace kolm::chart {

std::string reportNumber(const std::optional<double>& value, int decimals) {
  if (!value) return "none";
  std::string pattern = "0";
  if (decimals > 0) pattern += "." + std::string(static_cast<size_t>(decimals), '0');
  return common::formatPattern(*value, pattern);
}

std::optional<double> outwardPm(const std::optional<double>& value, const std::optional<double>& pm,
                                int decimals) {
  if (!pm) return pm;
  return common::outwardHalfWidth(value.value_or(0), *pm, decimals);
}

std::string reportLine(std::string_view key, const std::optional<double>& value, int decimals) {
  std::string line(key);
  line += '=';
  line += reportNumber(value, decimals);
  line += '\n';
  return line;
}

std::string reportApproximate(std::string_view key, const Edges& edges) {
  return std::string(key) + (edges.approximate() ? "=yes\n" : "=no\n");
}

std::string markApproximate(const std::optional<double>& value, std::string text,
                            bool approximate) {
  return value && approximate ? "\u2248 " + text : text;
}

std::string panelText(const std::optional<double>& value, std::string_view pattern,
                      std::string_view unit) {
  if (!value) return KOLM_TR("kolm", "none");
  return common::formatPattern(*value, pattern) + std::string(unit);
}

std::string panelMHz(const std::optional<double>& mhz) {
  return panelText(mhz, "0.000 000", " MHz");
}

std::string panelKHz(const std::optional<double>& mhz, std::string_view pattern) {
  return panelText(mhz ? std::optional<double>(*mhz * 1e3) : std::nullopt, pattern, " kHz");
}

std::string panelLowEdge(const Edges& edges, std::string found) {
  return edges.lowPastEnd ? KOLM_TR("kolm", "below the sweep's start") : found;
}

std::string panelHighEdge(const Edges& edges, std::string found) {
  return edges.highPastEnd ? KOLM_TR("kolm", "above the sweep's end") : found;
}

std::string panelWidth(const Edges& edges, std::string found) {
  if (!edges.width() && (edges.lowPastEnd || edges.highPastEnd))
    return KOLM_TR("kolm", "more than the sweep shows");
  return found;
}

}  // namespace kolm::chart
