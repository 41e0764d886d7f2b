#pragma once

#include "projects/ProjectScanner.h"

#include <QString>

#include <variant>

namespace tidra {

// Where the projects model stands: scanning (with the scan's latest stage), cleaning (with the
// label of the row being removed), idle (no result on show) or ready (a result on show).
struct ProjectsPhase {
  struct Scanning {
    ProjectScanner::Stage stage;
    bool operator==(const Scanning&) const = default;
  };
  struct Cleaning {
    QString label;
    bool operator==(const Cleaning&) const = default;
  };
  struct Idle {
    bool operator==(const Idle&) const = default;
  };
  struct Ready {
    bool operator==(const Ready&) const = default;
  };

  using Case = std::variant<Scanning, Cleaning, Idle, Ready>;
  Case value = Idle{};

  ProjectsPhase() = default;
  template <class T>
    requires std::constructible_from<Case, T>
  ProjectsPhase(T phase) : value(std::move(phase)) {}

  bool isScanning() const { return std::holds_alternative<Scanning>(value); }
  bool isCleaning() const { return std::holds_alternative<Cleaning>(value); }
  bool isIdle() const { return std::holds_alternative<Idle>(value); }
  bool isReady() const { return std::holds_alternative<Ready>(value); }

  bool operator==(const ProjectsPhase&) const = default;
};

}  // namespace tidra
