#pragma once

#include <QWidget>

#include <cstdint>

namespace tidra {
class StyledLabel;
}

namespace tidra::projects {

// The size cell at the end of a project row: what deleting frees, and under it the size the
// file manager would show when that differs a lot.
class SizeColumn : public QWidget {
public:
  explicit SizeColumn(QWidget* parent = nullptr);
  void setBytes(std::int64_t real, std::int64_t apparent);

private:
  StyledLabel* realText;
  StyledLabel* note;
};

}  // namespace tidra::projects
