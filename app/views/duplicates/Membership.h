#pragma once

#include <string>

namespace tidra {
class FileSetsModel;
}

namespace tidra::duplicates {

// A tick bound to the model's selection: on puts the path in, off takes it out, nothing more.
void setSelected(FileSetsModel& model, const std::string& path, bool on);

}  // namespace tidra::duplicates
