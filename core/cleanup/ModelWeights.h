#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Model checkpoints kept in cache folders: hundreds of megabytes to gigabytes to download
// again, so a cache holding them is never cleaned by default, whatever its name.
namespace tidra::ModelWeights {

// Weights files seen so far are never smaller; a smaller ".bin" is some other cache data.
inline constexpr std::int64_t smallestBinWeights = 50'000'000;

// True for a checkpoint by its name: ".pt", ".pth", ".ckpt", ".safetensors", ".gguf", ".onnx"
// (letter case ignored), or a ".bin" of at least `smallestBinWeights` bytes. `bytes` is only
// read for ".bin" names.
bool isWeightsFile(std::string_view name, std::int64_t bytes);

// True when any of the paths is, or holds at any depth on its own volume, a weights file.
// Stops at the first one found. Symbolic links are not followed; unreadable folders are passed.
bool heldIn(const std::vector<std::string>& paths);

} // namespace tidra::ModelWeights
